#pragma once

namespace rt {

class RandomSource;
class CuePlayer;
class Prompts;

// Every service the game reaches outside itself, in one place, so that a test
// can put scripted stand-ins in. The services are put in before the first
// window is made and taken out after the last one is gone, so the game never
// asks whether one is there: reaching one that is not is a programming error,
// which ends the program with a message naming it.
class Seams {
public:
    RandomSource& random() const;
    CuePlayer& cues() const;
    Prompts& prompts() const;

    // Puts all three services in.
    void install(RandomSource& random, CuePlayer& cues, Prompts& prompts);
    // Swaps one service for another while the rest stay.
    void use(RandomSource& random);
    void use(CuePlayer& cues);
    void use(Prompts& prompts);
    // Takes all three out; no window may be left to call them.
    void remove();

private:
    RandomSource* random_ = nullptr;
    CuePlayer* cues_ = nullptr;
    Prompts* prompts_ = nullptr;
};

Seams& seams();

// Creates the real random source, cue player and prompts and installs them
// for the program's lifetime. Call once, after QApplication exists and
// before the first window.
void installRealServices();
// Removes and releases what installRealServices() made (the audio device
// among it), once every window is gone.
void releaseRealServices();

} // namespace rt
