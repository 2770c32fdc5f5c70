#include "runtime/RandomSource.h"

#include <chrono>

namespace rt {

void ClockRandomSource::seedFromClock() {
    const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    std::seed_seq seq{static_cast<std::uint32_t>(now), static_cast<std::uint32_t>(now >> 32)};
    engine_.seed(seq);
}

float ClockRandomSource::next() {
    constexpr float scale = 1.0f / 16777216.0f; // 2^-24
    return static_cast<float>(engine_() >> 8) * scale;
}

} // namespace rt
