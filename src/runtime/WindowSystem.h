#pragma once

namespace rt {

// Call before the application object is made. Where the player has not chosen
// a platform and there is an X display, the game runs through X, also on a
// Wayland desktop: there the windows keep their places and stay off the task
// bar, which Wayland leaves to the compositor.
void chooseWindowSystem();

} // namespace rt
