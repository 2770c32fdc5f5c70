#include "shared/Forms.h"

#include "wallet/Form2.h"

#include <QPointer>

namespace Forms {

namespace {
Form1* machineWindow = nullptr;
QPointer<Form2> walletWindow;
bool machineClosing = false;
} // namespace

Form1* machine() {
    return machineWindow;
}

void setMachine(Form1* window) {
    machineWindow = window;
    machineClosing = false;
}

Form2& wallet() {
    if (!walletWindow)
        walletWindow = new Form2();
    return *walletWindow;
}

bool walletLoaded() {
    return !walletWindow.isNull();
}

void unloadWallet() {
    if (Form2* window = walletWindow)
        window->unload();
}

void forgetWallet(Form2* window) {
    if (walletWindow == window)
        walletWindow = nullptr;
}

bool closing() {
    return machineClosing;
}
void setClosing(bool closing) {
    machineClosing = closing;
}

} // namespace Forms
