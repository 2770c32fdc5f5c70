#pragma once
// Cue files made by the cue player's tests, with samples that can be found
// again in what the player sent on.
#include "WavFile.h"
#include "sound/Cues.h"

#include <QByteArray>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

using Samples = std::vector<std::int16_t>;

constexpr int rate = sound::cueRate;

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
