#pragma once

namespace rt {

// Call before the application object is made. Where the player has not chosen
// a platform and there is an X display, the game runs through X, also on a
// Wayland desktop: there the windows keep their places and stay off the task
// bar, which Wayland leaves to the compositor. The windows are small and
// fixed: their repaints go to an X server through the connection itself,
// which costs less than a shared-memory image that must be handed back before
// the next repaint. And a program that finds no display says so and exits
// with status 1, instead of aborting.
void prepareDisplayConnection();

// Call once the application object is made: the display has been reached.
void displayConnected();

} // namespace rt
