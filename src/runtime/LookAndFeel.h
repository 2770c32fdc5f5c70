#pragma once

namespace rt {

// The look every window of the game shares: the Fusion style, so colour-faced
// buttons look the same everywhere, the standard colour scheme, and stand-ins
// for the fonts the windows were designed with.
void setUpLookAndFeel();

} // namespace rt
