#include "sound/Cues.h"

#include "sound/WavFile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>
#include <optional>

namespace sound {

namespace {

QByteArray makeChime() {
    // A fifth (A5 over E6) sounds like a doorbell rather than an alarm; the
    // upper partial dies away faster, as it does on a struck bar.
    constexpr double lengthSeconds = 0.32;
    constexpr double lowHz = 880.0;
    constexpr double highHz = 1318.5;
    constexpr double lowDecay = 9.0; // per second
    constexpr double highDecay = 16.0;
    constexpr double attackSeconds = 0.004;  // a hard onset clicks
    constexpr double releaseSeconds = 0.030; // and so does a cut-off tail
    constexpr double peak = 0.35 * 32767.0;

    const int frames = static_cast<int>(std::lround(lengthSeconds * cueRate));
    QByteArray samples(frames * cueBytesPerFrame, Qt::Uninitialized);
    constexpr double twoPi = 2.0 * std::numbers::pi;
    for (int i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / cueRate;
        const double tail = lengthSeconds - t;
        const double edge =
            std::min({1.0, t / attackSeconds, std::max(0.0, tail) / releaseSeconds});
        const double value = 0.65 * std::exp(-lowDecay * t) * std::sin(twoPi * lowHz * t) +
                             0.35 * std::exp(-highDecay * t) * std::sin(twoPi * highHz * t);
        const auto sample = static_cast<std::int16_t>(
            std::lround(std::clamp(peak * edge * value, -32767.0, 32767.0)));
        std::memcpy(samples.data() + i * cueBytesPerFrame, &sample, sizeof sample);
    }
    return samples;
}

} // namespace

QByteArray defaultChime() {
    static const QByteArray chime = makeChime();
    return chime;
}

QByteArray decodeCue(const QByteArray& path) {
    std::optional<QByteArray> cue = readWavFile(path);
    return cue ? *std::move(cue) : defaultChime();
}

} // namespace sound
