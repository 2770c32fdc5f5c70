#include "shared/Forms.h"

#include <QPointer>

namespace Forms {

namespace {
MachineWindow* machineWindow = nullptr;
QPointer<WalletWindow> walletWindow;
WalletWindow* (*walletMaker)() = nullptr;
} // namespace

MachineWindow* machine() {
    return machineWindow;
}

void setMachine(MachineWindow* window) {
    machineWindow = window;
}

void makeWalletWith(WalletWindow* (*make)()) {
    walletMaker = make;
}

WalletWindow& wallet() {
    if (!walletWindow) {
        if (!walletMaker)
            qFatal("No wallet window can be made before the machine window is.");
        walletWindow = walletMaker();
    }
    return *walletWindow;
}

bool walletLoaded() {
    return !walletWindow.isNull();
}

void unloadWallet() {
    if (walletLoaded())
        walletWindow->unload();
}

void forgetWallet(WalletWindow* window) {
    if (walletWindow == window)
        walletWindow = nullptr;
}

bool closing() {
    return machineWindow != nullptr && machineWindow->unloaded();
}

} // namespace Forms
