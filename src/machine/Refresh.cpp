#include "machine/Form1.h"

#include "shared/Module1.h"

using namespace Module1;

void Form1::Timer1_Timer() {
    if (unloaded_)
        return;
    showCredits();
    // The sign's own state, whether or not the window is on screen.
    if (credits == 0)
        coin->setLit(!coin->isLit());
    if (credits > 0)
        coin->setLit(false);
    UpdateLabels();
}

void Form1::showCredits() {
    cdlbl->setCaption(QStringLiteral("Credits: ") + QString::number(credits));
}

void Form1::showScore() {
    sclbl->setCaption(QStringLiteral("Score: ") + QString::number(score));
}

// Both texts sound the lose cue, Sound box or not, when they change while
// credits and score are both gone.
void Form1::cdlbl_Change() {
    loseCueIfBroke();
}

void Form1::sclbl_Change() {
    loseCueIfBroke();
}

void Form1::loseCueIfBroke() {
    if (credits == 0 && score == 0) {
        soundFile = QStringLiteral("lose.wav");
        PlaySnd();
    }
}
