#pragma once

class QWidget;

namespace rt {

// Asks the desktop to show no task-bar button for the window, on this and
// every later showing, except while the window is minimised: then the button
// is the way back to it. A tool window minimised together with a main window
// has none: the main window's button brings both back. Call once, before the
// window is first shown; does nothing away from X11.
void keepOffTaskBar(QWidget& window);

} // namespace rt
