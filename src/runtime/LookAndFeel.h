#pragma once

namespace rt {

// The look every window of the game shares: the Fusion style, so colour-faced
// buttons look the same everywhere, the standard colour scheme, stand-ins for
// the fonts the windows were designed with, and focus marks once the keyboard
// is used.
void setUpLookAndFeel();

} // namespace rt
