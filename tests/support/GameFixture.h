#pragma once

#include "machine/Form1.h"
#include "support/TestServices.h"
#include "wallet/Form2.h"

#include <memory>

// A fresh game for one test: scripted random draws, recorded cues, scripted
// prompts, no tick floor, counters zeroed as at process start, and a machine
// window built and loaded. The refresh timer is stopped so that a test runs
// refreshes itself; start it again where real timing is the point.
class GameFixture {
public:
    explicit GameFixture(std::initializer_list<int> startSymbols = {});
    ~GameFixture();

    Form1& machine() { return *machine_; }
    // Simulates a click of the lever or another control, as the player would.
    void clickLever();

    ScriptedRandom random;
    RecordingCues cues;
    ScriptedPrompts prompts;

private:
    std::unique_ptr<Form1> machine_;
};

// What a player's double-click sends: press and release, then the
// double-click and its release.
void doubleClick(QWidget* target);

// What a new process starts with, before the machine window loads: the
// shared counters zeroed and no cue named.
void startFreshProgram();

// The wallet window with its controls, as the game makes it: hidden, if none
// is loaded.
Form2& walletWindow();

// Once per test program: the look and feel the program uses.
void setUpTestApplication();
