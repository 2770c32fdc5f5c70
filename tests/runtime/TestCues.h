#pragma once
// Cue files made by the cue player's tests, with samples that can be found
// again in what the player sent on.
#include "sound/Cues.h"

#include <QByteArray>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

using Samples = std::vector<std::int16_t>;

constexpr int rate = sound::cueRate;

inline void putLe(QByteArray& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.append(static_cast<char>((value >> (8 * i)) & 0xff));
    }
}

inline QByteArray wav(int channels, int sampleRate, int bits, const QByteArray& data) {
    const int blockAlign = channels * bits / 8;
    QByteArray out("RIFF");
    putLe(out, 36 + data.size(), 4);
    out.append("WAVEfmt ");
    putLe(out, 16, 4);
    putLe(out, 1, 2); // PCM
    putLe(out, channels, 2);
    putLe(out, sampleRate, 4);
    putLe(out, sampleRate * blockAlign, 4);
    putLe(out, blockAlign, 2);
    putLe(out, bits, 2);
    out.append("data");
    putLe(out, data.size(), 4);
    return out + data;
}

inline QByteArray pcm16(const Samples& samples) {
    QByteArray out;
    for (std::int16_t s : samples) {
        putLe(out, static_cast<std::uint16_t>(s), 2);
    }
    return out;
}

inline Samples samplesOf(const QByteArray& bytes) {
    Samples out(static_cast<std::size_t>(bytes.size()) / sizeof(std::int16_t));
    std::memcpy(out.data(), bytes.constData(), out.size() * sizeof(std::int16_t));
    return out;
}

// Distinct, never-silent values, so that a match in the output can only be
// this cue and a gap or a swap shows.
inline Samples pattern(std::uint32_t seed, int count) {
    std::mt19937 engine(seed);
    std::uniform_int_distribution<int> value(1000, 30000);
    Samples out(static_cast<std::size_t>(count));
    for (auto& s : out) {
        s = static_cast<std::int16_t>(engine() % 2 ? value(engine) : -value(engine));
    }
    return out;
}
