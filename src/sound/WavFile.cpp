#include "sound/WavFile.h"

#include "sound/CueFormat.h"
#include "sound/SdlLibrary.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <system_error>
#include <vector>

namespace sound {

namespace {

constexpr SDL_AudioFormat cueFormat = AUDIO_S16SYS;
constexpr Uint8 cueChannels = 1;

// Converts the whole cue at once: SDL's streaming converter would keep back
// the last few milliseconds of a resampled cue.
std::optional<QByteArray> toCueFormat(const SDL_AudioSpec& spec, const Uint8* data, Uint32 length) {
    SDL_AudioCVT cvt{};
    const int needed = sdl().BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, cueFormat,
                                           cueChannels, cueRate);
    if (needed < 0 || length > static_cast<Uint32>(INT_MAX / cvt.len_mult)) {
        return std::nullopt;
    }
    constexpr Uint32 frame = cueBytesPerFrame;
    if (needed == 0 || length == 0) {
        return QByteArray(reinterpret_cast<const char*>(data),
                          static_cast<qsizetype>(length - length % frame));
    }
    std::vector<Uint8> work(static_cast<std::size_t>(length) *
                            static_cast<std::size_t>(cvt.len_mult));
    std::copy_n(data, length, work.begin());
    cvt.buf = work.data();
    cvt.len = static_cast<int>(length);
    if (sdl().ConvertAudio(&cvt) != 0) {
        return std::nullopt;
    }
    return QByteArray(reinterpret_cast<const char*>(work.data()),
                      static_cast<qsizetype>(cvt.len_cvt - cvt.len_cvt % frame));
}

} // namespace

std::optional<QByteArray> readWavFile(const QByteArray& path) {
    if (!sdl().loaded) {
        return std::nullopt;
    }
    std::error_code error;
    if (!std::filesystem::is_regular_file(std::filesystem::path(path.toStdString()), error)) {
        return std::nullopt;
    }
    SDL_AudioSpec spec{};
    Uint8* data = nullptr;
    Uint32 length = 0;
    if (sdl().LoadWAV_RW(sdl().RWFromFile(path.constData(), "rb"), 1, &spec, &data, &length) ==
        nullptr) {
        return std::nullopt;
    }
    // SDL takes any rate from 1 Hz up. A header that claims a few hertz is
    // corrupt, and would turn a 4 KB file into an hour-long cue that holds up
    // the whole game.
    constexpr int slowestRate = 1000;
    if (spec.freq < slowestRate) {
        sdl().FreeWAV(data);
        return std::nullopt;
    }
    std::optional<QByteArray> cue = toCueFormat(spec, data, length);
    sdl().FreeWAV(data);
    return cue;
}

} // namespace sound
