#pragma once

#include <QByteArray>
#include <chrono>

namespace sound {

// Where cues are heard: a sound server's stream or an SDL audio device. One
// thread plays; another may close it (by destroying it) once that thread is
// done with it.
class Output {
public:
    virtual ~Output() = default;

    // Plays the cue (in the cue format, at least a frame) and returns once
    // it has taken its length and the output is no further behind than its
    // own few milliseconds, which every cue is heard after alike (a server's
    // 10 ms ahead, a device's buffer). False when the output was lost on
    // the way: the server went away, the device was removed or stopped
    // taking data. The cue takes its length either way, in silence where it
    // could not be heard, and is over within its length and a second.
    virtual bool play(const QByteArray& cue) = 0;

    // Called by the thread that plays when it is done with the output, which
    // may then be closed on another.
    virtual void wake() {}
};

// How long a cue takes to be heard.
std::chrono::steady_clock::duration cueLength(const QByteArray& cue);

} // namespace sound
