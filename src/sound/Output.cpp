#include "sound/Output.h"

#include "sound/Cues.h"

namespace sound {

std::chrono::steady_clock::duration cueLength(const QByteArray& cue) {
    return std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::microseconds(cue.size() / cueBytesPerFrame * 1'000'000LL / cueRate));
}

} // namespace sound
