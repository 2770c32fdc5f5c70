#pragma once

#include <QByteArray>

namespace sound {

// Plays one WAV cue synchronously: play() returns only when the cue has been
// heard to its end. The path is already in the system's 8-bit encoding.
// A file that is missing or unreadable plays the default chime instead.
class CuePlayer {
public:
    virtual ~CuePlayer() = default;
    virtual void play(const QByteArray& path) = 0;
};

} // namespace sound
