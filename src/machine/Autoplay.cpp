#include "machine/Form1.h"

void Form1::Timer2_Timer() {
    Timer2->stop();
    if (unloaded_)
        return;
    if (aplay->value() == 1)
        Command1_Click();
}
