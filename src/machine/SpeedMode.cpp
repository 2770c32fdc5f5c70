#include "machine/Form1.h"

void Form1::speedm_Click() {
    spinLimit = speedm->value() == 1 ? 1 : 50;
}
