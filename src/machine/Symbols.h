#pragma once

#include "shared/Counter.h"

#include <QString>

// What symbol n shows, as a screen reader says it: "3 orange".
QString symbolDescription(Counter symbol);
