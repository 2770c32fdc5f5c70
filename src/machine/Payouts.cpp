#include "machine/Form1.h"

#include "shared/Module1.h"

#include <algorithm>

int Form1::CheckReels() {
    if (reel1 == reel2 && reel2 == reel3)
        return PayTriple();
    int paid = 0;
    if (reel1 == reel3)
        paid += PayPair13();
    if (reel1 == reel2)
        paid += PayPair12();
    if (reel2 == reel3)
        paid += PayPair23();
    return paid;
}

int Form1::PayTriple() {
    return pay(8, true, true, true);
}
int Form1::PayPair13() {
    return pay(2, true, false, true);
}
int Form1::PayPair12() {
    return pay(1, true, true, false);
}
int Form1::PayPair23() {
    return pay(1, false, true, true);
}

int Form1::pay(Counter points, bool holdReel1, bool holdReel2, bool holdReel3) {
    // A score at the top of its range stays there rather than wrap.
    Module1::score = static_cast<Counter>(std::min<long long>(counterMax, Module1::score + points));
    if (aplay->value() == 1 && !holdTouched) {
        if (holdReel1)
            ToggleHold1();
        if (holdReel2)
            ToggleHold2();
        if (holdReel3)
            ToggleHold3();
        holdTouched = true;
    }
    if (soundon->value() == 1) {
        Module1::soundFile = QStringLiteral("win.wav");
        Module1::PlaySnd();
    }
    return points;
}
