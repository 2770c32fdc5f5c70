#pragma once

#include "sound/CuePlayer.h"

#include <memory>

namespace sound {

// Plays cues where the desktop plays its sound (see Output.h), on an output
// opened beside the game and kept, so that no cue waits for one to open. An
// output that is lost (its server went away, its device was removed) is
// closed and another is looked for now and then, as is one where none could
// be opened at first. Without an output, cues are silent but still take
// their length: the game keeps its pace.
class SystemCuePlayer final : public CuePlayer {
public:
    SystemCuePlayer();
    // Closes the output, but never waits more than a moment for it: a
    // driver that cannot close must not keep the program from ending.
    ~SystemCuePlayer() override;
    SystemCuePlayer(const SystemCuePlayer&) = delete;
    SystemCuePlayer& operator=(const SystemCuePlayer&) = delete;

    void play(const QByteArray& path) override;

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

} // namespace sound
