#include "machine/Form1.h"

#include "runtime/ProgramInfo.h"
#include "runtime/RandomSource.h"
#include "shared/Module1.h"
#include "shared/Seams.h"

void Form1::Form_Load() {
    seams().random().seedFromClock();
    setWindowTitle(windowTitle() + QLatin1Char(' ') + QString::number(rt::versionMajor()) +
                   QLatin1Char('.') + QString::number(rt::versionRevision()));
    // The start-up symbols are only pictures: reel1..reel3 stay 0 until the
    // first spin draws them.
    showSymbol(hok1, Rand(1, 7));
    showSymbol(hok2, Rand(1, 7));
    showSymbol(hok3, Rand(1, 7));
    held1 = held2 = held3 = false;
    stop1 = stop2 = stop3 = false;
    Module1::credits = 0;
    Module1::cash = 10;
    spinning = false;
    holdTouched = false;
    spinLimit = 75;
}
