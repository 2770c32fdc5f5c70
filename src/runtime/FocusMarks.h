#pragma once

class QWidget;

namespace rt {

// Focus marks show in a window only once the player has used the keyboard
// there (Tab, Shift+Tab, Space, Enter or an arrow key), as on today's
// desktops, and stay from then on; the mouse alone never shows them. Call
// once the application object is made.
void showFocusMarksOnceKeysAreUsed();

// Whether the control draws its focus mark now.
bool showsFocusMark(const QWidget& control);

} // namespace rt
