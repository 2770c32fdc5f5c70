#pragma once

#include <QByteArray>
#include <SDL.h>
#include <chrono>
#include <optional>
#include <string>

namespace rt {

// One open SDL audio device that plays cues in the cue format, each to its
// end. Opened on an SDL thread (see onSdlThread). Played and rested on one
// thread, which also closes it while it rests (the lock is that thread's);
// after a cue that lost it, it may be closed anywhere.
class AudioDevice {
public:
    // Asks a sound server to keep more sound ahead than SDL would ask for;
    // see why in the source. Before the first device is opened.
    static void askSoundServerLatency();

    // The default device, or nothing with SDL's reason in why.
    static std::optional<AudioDevice> open(std::string& why);
    void close();

    // Between cues the device rests paused, and the thread that plays holds
    // its lock: paused alone, SDL's audio thread still wakes every buffer to
    // play silence, which cost 0.6 % of a core while the game waited and put
    // the idle figure over its budget (0.85 x the bare blinking window).
    void rest();

    // False when the device was lost during the cue: the server went away,
    // the device was removed or it stopped taking data. The cue still took
    // its length, in silence where it could not be heard.
    bool play(const QByteArray& cue);

private:
    AudioDevice(SDL_AudioDeviceID id, std::chrono::steady_clock::duration bufferTime);

    SDL_AudioDeviceID id_;
    std::chrono::steady_clock::duration bufferTime_;
    // How long the last of a cue may take to be heard once it has left SDL's
    // queue: what the device, or the sound server, keeps ahead of the speaker.
    std::chrono::steady_clock::duration tail_;
    bool resting_ = false;
};

// How long a cue takes to be heard.
std::chrono::steady_clock::duration cueLength(const QByteArray& cue);

} // namespace rt
