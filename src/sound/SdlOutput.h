#pragma once

#include "sound/Output.h"

#include <SDL.h>

namespace sound {

// One open SDL audio device. Opened and closed on an SDL thread (see
// onSdlThread); played, and rested between cues, by one thread, which lets
// it go (wake) before another closes it.
class SdlOutput final : public Output {
public:
    // The device SDL picks, or is told to use; nothing, with SDL's reason in
    // why, when there is none.
    static std::unique_ptr<SdlOutput> open(std::string& why);
    ~SdlOutput() override;

    bool play(const QByteArray& cue) override;
    void wake() override;

private:
    // Between cues the device rests paused, and the thread that plays holds
    // its lock: paused alone, SDL's audio thread still wakes every buffer to
    // play silence, and a waiting game would cost its player's machine more
    // than a bare blinking window does (the idle figure in the README).
    void rest();

    SdlOutput(SDL_AudioDeviceID id, std::chrono::steady_clock::duration bufferTime);

    SDL_AudioDeviceID id_;
    // What one of the device's buffers plays for.
    std::chrono::steady_clock::duration bufferTime_;
    bool resting_ = false;
};

} // namespace sound
