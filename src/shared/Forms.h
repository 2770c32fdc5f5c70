#pragma once

#include <QWidget>

// The game's two windows, reached by name from anywhere, as the window
// runtime would: the machine window, created once by main, and the wallet
// window, which comes into being (hidden) the first time it is asked for.
// Both windows are built above this layer; here is only what the shared
// module and the other window ask of each.
namespace Forms {

class MachineWindow : public QWidget {
public:
    using QWidget::QWidget;
    // Write "Credits: n" and "Score: n".
    virtual void showCredits() = 0;
    virtual void showScore() = 0;
    // True once the window has begun to unload.
    virtual bool unloaded() const = 0;
};

class WalletWindow : public QWidget {
public:
    using QWidget::QWidget;
    // Writes the euro left in the wallet.
    virtual void showCash() = 0;
    // Shows the window modeless, raised and active.
    virtual void showWallet() = 0;
    // Takes the window away for good.
    virtual void unload() = 0;
};

MachineWindow* machine();
void setMachine(MachineWindow* window);

// How a wallet window is made whenever one is asked for and none is loaded;
// set by the machine window, which opens it.
void makeWalletWith(WalletWindow* (*make)());
// The wallet window; creates it, hidden, at its design place if needed.
WalletWindow& wallet();
bool walletLoaded();
// Drops the wallet window: it is deleted once control returns to the event
// loop, and the next call to wallet() makes a fresh one.
void unloadWallet();
// Called by a wallet window that is being closed by its own close box.
void forgetWallet(WalletWindow* window);

// True once the machine window has begun to unload: nothing may bring
// windows back after that.
bool closing();

} // namespace Forms
