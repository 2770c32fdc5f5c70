#include "machine/Form1.h"

#include "machine/SpinResult.h"
#include "runtime/Settings.h"
#include "shared/Module1.h"
#include "shared/Seams.h"

#include <QCoreApplication>
#include <thread>

using namespace Module1;

void Form1::Command1_Click() {
    if (unloaded_)
        return;
    if (soundon->value() == 1) {
        soundFile = QStringLiteral("lever.wav");
        PlaySnd();
    }
    if (spinning)
        return;
    if (credits == 0)
        return;
    const auto left = toCounter(credits - 1);
    if (!left)
        return;
    credits = *left;
    if (cts->value() == 1 && credits == 0)
        scoretocreds_Click();
    showCredits();
    spinning = true;
    LockHolds();
    ticks = 0;
    holdTouched = false;
    if (soundon->value() == 1)
        soundFile = QStringLiteral("roll.wav");

    for (;;) {
        const auto tickStart = std::chrono::steady_clock::now();
        // The limit is read afresh every tick, and the test is >= so that a
        // limit lowered below the ticks already run ends the spin at once.
        if (ticks >= 4 * static_cast<int>(spinLimit))
            break;
        QCoreApplication::processEvents();
        if (unloaded_)
            return; // the window is going away; nothing is left to show
        if (soundon->value() == 1)
            PlaySnd();
        ++ticks;
        if (ticks == 2 * spinLimit)
            stop1 = true;
        if (ticks == 3 * spinLimit)
            stop2 = true;
        if (ticks == 4 * spinLimit)
            stop3 = true;
        if (held1)
            stop1 = true;
        if (!stop1) {
            reel1 = Rand(1, 7);
            showSymbol(hok1, reel1);
        }
        if (held2)
            stop2 = true;
        if (!stop2) {
            reel2 = Rand(1, 7);
            showSymbol(hok2, reel2);
        }
        if (held3)
            stop3 = true;
        if (!stop3) {
            reel3 = Rand(1, 7);
            showSymbol(hok3, reel3);
        }
        QCoreApplication::processEvents();
        if (unloaded_)
            return;
        waitOutTick(tickStart);
    }

    UnlockHolds();
    stop1 = stop2 = stop3 = false;
    if (held1) {
        ToggleHold1();
        LockHolds();
    }
    if (held2) {
        ToggleHold2();
        LockHolds();
    }
    if (held3) {
        ToggleHold3();
        LockHolds();
    }
    const int paid = CheckReels();
    Command1->tellDescription(spinResult(reel1, reel2, reel3, paid));
    spinning = false;
    if (aplay->value() == 1)
        Timer2->start();
    showScore();
}

// Without a floor a spin with sound off would be over before anyone saw the
// reels turn; each tick lasts at least the floor, cues included.
void Form1::waitOutTick(std::chrono::steady_clock::time_point tickStart) {
    const auto floor = rt::settings().tickFloor;
    if (floor <= std::chrono::milliseconds::zero())
        return;
    const auto remaining = tickStart + floor - std::chrono::steady_clock::now();
    if (remaining > std::chrono::steady_clock::duration::zero())
        std::this_thread::sleep_for(remaining);
}
