#pragma once

#include <QByteArray>
#include <SDL.h>
#include <optional>

namespace rt {

// Cues are kept and played as mono signed 16-bit samples at this rate: a WAV
// already in that format reaches the device sample for sample.
struct CueFormat {
    static constexpr int rate = 44100;
    static constexpr SDL_AudioFormat format = AUDIO_S16SYS;
    static constexpr Uint8 channels = 1;
    static constexpr int bytesPerFrame = 2;
};

// The WAV file at path in the cue format, or nothing when it can't be played
// as a cue. Only plain files are read: a folder or a pipe must not reach the
// WAV reader, which could block on it.
std::optional<QByteArray> readCueFile(const QByteArray& path);

} // namespace rt
