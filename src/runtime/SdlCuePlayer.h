#pragma once

#include "runtime/CuePlayer.h"

#include <memory>

namespace rt {

// Plays cues on one SDL audio device, opened beside the game and kept, so
// that no cue waits for a device to open. A device that is lost (its sound
// server went away, it was removed) is closed and another is looked for now
// and then, as is one where none could be opened at first. Without a device,
// cues are silent but still take their length: the game keeps its pace.
class SdlCuePlayer final : public CuePlayer {
public:
    // The device plays mono signed 16-bit at this rate; a WAV already in that
    // format reaches it sample for sample.
    static constexpr int sampleRate = 44100;

    SdlCuePlayer();
    ~SdlCuePlayer() override;
    SdlCuePlayer(const SdlCuePlayer&) = delete;
    SdlCuePlayer& operator=(const SdlCuePlayer&) = delete;

    void play(const QByteArray& path) override;
    // The sound play() makes for a path, without playing it: the cue in the
    // device format (kept for next time), or the default chime when the file
    // can't be used. Lets the fuzz tests try many files without waiting each
    // one out.
    const QByteArray& cueFor(const QByteArray& path);

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

} // namespace rt
