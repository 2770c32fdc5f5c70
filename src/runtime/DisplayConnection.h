#pragma once

namespace rt {

// Call before the application object is made. The windows are small and
// fixed: their repaints go to an X server through the connection itself,
// which costs less than a shared-memory image that must be handed back before
// the next repaint. And a program that finds no display says so and exits
// with status 1, instead of aborting.
void prepareDisplayConnection();

// Call once the application object is made: the display has been reached.
void displayConnected();

} // namespace rt
