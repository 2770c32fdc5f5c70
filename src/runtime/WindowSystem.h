#pragma once

namespace rt {

// Call before the application object is made. Where the player has not chosen
// a platform and there is an X display, the game runs through X, also on a
// Wayland desktop: there the windows keep their places and stay off the task
// bar, which Wayland leaves to the compositor. The windows are small and
// fixed: their repaints go to the X server through the connection itself,
// which costs less, idle, than a shared-memory image that must be handed back
// before the next repaint.
void chooseWindowSystem();

} // namespace rt
