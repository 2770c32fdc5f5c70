#pragma once

#include "runtime/WindowPlace.h"

#include <QMargins>
#include <QRect>
#include <functional>
#include <optional>

class QWidget;

namespace rt {

// A window's place on an area of the screen, by the frame the window manager
// said it will draw, if it said.
using PlaceRule = std::function<Place(const QRect& area, std::optional<QMargins> frame)>;

// Places the window by the rule as it is first shown, on the primary screen's
// free area: the frame is asked of the window manager then, once the window
// has its size, type and decorations, and the window manager puts the frame
// by the place's gravity as it takes the window.
void placeOnFirstShowing(QWidget& window, PlaceRule rule);

} // namespace rt
