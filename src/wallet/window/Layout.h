#pragma once

#include "runtime/Design.h"

#include <span>

namespace wallet_window {

// The wallet window's controls in tab order, as designed.
std::span<const rt::ControlDesign> controls();

// Where the client area is designed to stand on the screen, and its size.
constexpr rt::TwipRect clientArea{5100, 8565, 5550, 2715};
constexpr const char* caption = "This is your wallet, use it wisely!";

} // namespace wallet_window
