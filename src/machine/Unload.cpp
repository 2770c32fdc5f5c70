#include "machine/Form1.h"

#include "runtime/Prompts.h"
#include "shared/Forms.h"
#include "shared/Seams.h"

#include <QCloseEvent>

void Form1::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void Form1::Form_Unload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    Timer1->stop();
    Timer2->stop();
    Forms::unloadWallet();
    // A prompt left open would keep the program alive behind a closed window.
    seams().prompts().closeAll();
}
