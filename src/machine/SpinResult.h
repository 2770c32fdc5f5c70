#pragma once

#include "shared/Counter.h"

#include <QString>

// A spin's result as a screen reader says it: the three reels in order and
// the points they paid, "orange, orange, bell: 1 point". A reel that has
// drawn nothing yet (a spin limit of 0 before the first spin) is "not drawn".
QString spinResult(Counter reel1, Counter reel2, Counter reel3, int points);
