#pragma once

class Form1;
class Form2;

// The game's two windows, reached by name from anywhere, as the window
// runtime would: the machine window, created once by main, and the wallet
// window, which comes into being (hidden) the first time it is asked for.
namespace Forms {

Form1* machine();
void setMachine(Form1* window);

// The wallet window; creates it, hidden, at its design place if needed.
Form2& wallet();
bool walletLoaded();
// Drops the wallet window: it is deleted once control returns to the event
// loop, and the next call to wallet() makes a fresh one.
void unloadWallet();
// Called by a wallet window that is being closed by its own close box.
void forgetWallet(Form2* window);

// True once the machine window has begun to unload: nothing may bring
// windows back after that.
bool closing();

} // namespace Forms
