#include "machine/Form1.h"

#include "shared/Module1.h"

using namespace Module1;

void Form1::Timer1_Timer() {
    if (unloaded_)
        return;
    cdlbl->setCaption(QStringLiteral("Credits: ") + QString::number(credits));
    // The sign's own visibility, whether or not the window is on screen.
    if (credits == 0)
        coin->setVisible(coin->isHidden());
    if (credits > 0)
        coin->setVisible(false);
    UpdateLabels();
}

void Form1::cdlbl_Change() {
    if (credits == 0 && score == 0) {
        soundFile = QStringLiteral("lose.wav");
        PlaySnd();
    }
}

void Form1::sclbl_Change() {
    if (credits == 0 && score == 0) {
        soundFile = QStringLiteral("lose.wav");
        PlaySnd();
    }
}
