#include "machine/Form1.h"

void Form1::Timer2_Timer() {
    Timer2->stop();
    // A pull after the window has closed is refused by the lever itself.
    if (aplay->value() == 1)
        Command1_Click();
}
