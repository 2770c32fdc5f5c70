#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>

class QWidget;

namespace rt {

// X's window gravity: the point of the frame that the window manager puts
// where that point of the client area was asked for (the frame's middle at
// the client area's middle for Centre, its bottom edge at the client area's
// bottom edge for South...); Static keeps the client area itself where it was
// asked for.
enum class Gravity {
    NorthWest = 1,
    North,
    NorthEast,
    West,
    Centre,
    East,
    SouthWest,
    South,
    SouthEast,
    Static
};

// Where a window is asked to open: its client area's top-left corner, and how
// the window manager is to put its frame around it.
struct Place {
    QPoint client;
    Gravity gravity;
};

// The rules, on an area of the screen, for a window of the client size given
// and the frame the window manager said it will draw, if it said. A told
// frame is taken into the place itself, which then keeps the client area
// where it is asked for (Static); a frame not told is left to the window
// manager, through the gravity.
//
// The whole window in the middle of the area; on an area smaller than the
// window, its top-left corner (the title bar) at the area's.
Place centredIn(const QRect& area, QSize size, std::optional<QMargins> frame);
// The client area as wanted, moved just enough to keep the whole window in
// the area: right and bottom edges first, then left and top, so that the
// title bar stays reachable on an area smaller than the window.
Place keptWithin(const QRect& area, const QRect& wanted, std::optional<QMargins> frame);

// Places the window, as it is first shown, in the middle of the screen's free
// area, frame and title bar included; with no window manager, its client area.
void centreOnScreen(QWidget& window);
// Places the window, as it is first shown, with its client area at the point,
// or as near as keeps the whole window on the screen's free area.
//
// Call either once, before the window is first shown. The window opens where
// it stays, with no move after its first paint; later showings keep it where
// it was left.
void placeOnScreen(QWidget& window, QPoint client);

} // namespace rt
