#pragma once

#include "shared/Counter.h"

#include <QString>

// The name of what symbol n shows ("orange"); empty for a number that is no
// symbol.
QString symbolName(Counter symbol);

// What symbol n shows, as a screen reader says it: "3 orange".
QString symbolDescription(Counter symbol);
