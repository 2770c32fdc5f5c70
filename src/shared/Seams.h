#pragma once

namespace rt {
class RandomSource;
class Prompts;
} // namespace rt
namespace sound {
class CuePlayer;
}

// Every service the game reaches outside itself, in one place, so that a test
// can put scripted stand-ins in. main() puts the real ones in before the first
// window is made and takes them out after the last one is gone, so the game
// never asks whether one is there: reaching one that is not is a programming
// error, which ends the program with a message naming it.
class Seams {
public:
    rt::RandomSource& random() const;
    sound::CuePlayer& cues() const;
    rt::Prompts& prompts() const;

    // Puts all three services in.
    void install(rt::RandomSource& random, sound::CuePlayer& cues, rt::Prompts& prompts);
    // Swaps one service for another while the rest stay.
    void use(rt::RandomSource& random);
    void use(sound::CuePlayer& cues);
    void use(rt::Prompts& prompts);
    // Takes all three out; no window may be left to call them.
    void remove();

private:
    rt::RandomSource* random_ = nullptr;
    sound::CuePlayer* cues_ = nullptr;
    rt::Prompts* prompts_ = nullptr;
};

Seams& seams();
