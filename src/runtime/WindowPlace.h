#pragma once

#include <QRect>

class QWidget;

namespace rt {

// Places the window in the middle of the screen's free area, frame and title
// bar included, as the window manager will frame it; with no window manager
// that says what frame it draws, the window's client area. Call once the
// window has its size and flags, before it is first shown: it then opens
// where it stays, with no move after its first paint.
void centreOnScreen(QWidget& window);

// The rectangle moved just enough to lie within the area: right and bottom
// edges first, then left and top, so that the top-left corner (the title
// bar) stays reachable when the area is the smaller.
QRect keptWithin(QRect rect, const QRect& area);

} // namespace rt
