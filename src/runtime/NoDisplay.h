#pragma once

namespace rt {

// A program that finds no display says so and exits with status 1, instead
// of aborting: call before the application object is made, and
// displayReached() once it is.
void reportMissingDisplay();
void displayReached();

} // namespace rt
