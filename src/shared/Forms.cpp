#include "shared/Forms.h"

#include "machine/Form1.h"
#include "wallet/Form2.h"

#include <QPointer>

namespace Forms {

namespace {
Form1* machineWindow = nullptr;
QPointer<Form2> walletWindow;
} // namespace

Form1* machine() {
    return machineWindow;
}

void setMachine(Form1* window) {
    machineWindow = window;
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
    return machineWindow != nullptr && machineWindow->unloaded();
}

} // namespace Forms
