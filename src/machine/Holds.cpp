#include "machine/Form1.h"

#include "runtime/Twips.h"
#include "shared/Colours.h"
#include "shared/Module1.h"

void Form1::Command2_Click() {
    ToggleHold1();
}
void Form1::Command3_Click() {
    ToggleHold2();
}
void Form1::Command4_Click() {
    ToggleHold3();
}

void Form1::ToggleHold1() {
    toggleHold(held1, Command2);
}
void Form1::ToggleHold2() {
    toggleHold(held2, Command3);
}
void Form1::ToggleHold3() {
    toggleHold(held3, Command4);
}

void Form1::toggleHold(bool& held, rt::CommandButton* button) {
    holdTouched = true;
    held = !held;
    const QString caption = held ? QStringLiteral("HOLDING") : QStringLiteral("HOLD");
    button->setText(caption);
    button->setAccessibleName(caption);
    button->setBackColour(QColor(rt::bgrColour(held ? colours::red : colours::yellow)));
    if (soundon->value() == 1) {
        Module1::soundFile = QStringLiteral("hold.wav");
        Module1::PlaySnd();
    }
}

void Form1::LockHolds() {
    Command2->setEnabled(false);
    Command3->setEnabled(false);
    Command4->setEnabled(false);
}

void Form1::UnlockHolds() {
    Command2->setEnabled(true);
    Command3->setEnabled(true);
    Command4->setEnabled(true);
}
