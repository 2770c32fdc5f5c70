#include "machine/Form1.h"

#include "shared/Forms.h"

void Form1::Command5_Click() {
    if (unloaded_)
        return;
    Forms::wallet().showWallet();
}
