#pragma once

#include "runtime/Design.h"

#include <span>

namespace machine_window {

// The machine window's controls in tab order, as designed.
std::span<const rt::ControlDesign> controls();
// The reel windows, which take no focus and have no caption.
std::span<const rt::ControlDesign> reels();

constexpr int clientWidthTwips = 8805;
constexpr int clientHeightTwips = 5040;
constexpr const char* storedCaption = "Brim's Rolvanger";

} // namespace machine_window
