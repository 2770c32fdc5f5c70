#pragma once

#include "shared/Counter.h"

#include <QString>

// The shared module: the money counters both windows use, the cue that the
// next PlaySnd plays, and the routines every part of the game calls.
namespace Module1 {

inline Counter credits = 0; // credits in the machine; one is taken per pull
inline Counter cash = 0;    // whole euro in the wallet
inline Counter score = 0;   // points won and not yet converted
inline QString soundFile;   // file name of the cue the next PlaySnd plays

// Plays the cue soundFile names, from the program folder, and returns only
// when it has been heard to its end.
void PlaySnd();

// Rewrites the credits and score texts of the machine and the wallet's cash
// text, bringing the wallet window into being (hidden) if it is not there.
void UpdateLabels();

// The two score conversions, 4 points for 1: the Click handlers of the
// machine's "Score to Credits" and "Score to Cash" buttons.
void scoretocreds_Click();
void Command6_Click();

// The refusal shown when a sum would leave the counters' range.
void TooMuch();

} // namespace Module1
