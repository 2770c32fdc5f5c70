#pragma once

#include <QString>
#include <chrono>

namespace rt {

class RandomSource;
class CuePlayer;
class Prompts;

// Every service the game reaches outside itself, in one place, so that a test
// can put scripted stand-ins in. installRealServices() fills it for the program.
struct Seams {
    RandomSource* random = nullptr;
    CuePlayer* cues = nullptr;
    Prompts* prompts = nullptr;
    // The shortest a spin tick may last; tests set it to zero.
    std::chrono::milliseconds tickFloor{10};
    // The folder media files are read from; empty means the executable's.
    QString programFolder;
};

Seams& seams();

// Creates the real random source, cue player and prompts for the program's
// lifetime. Call once, after QApplication exists.
void installRealServices();
// Releases what installRealServices() made (the audio device among it).
void releaseRealServices();

} // namespace rt
