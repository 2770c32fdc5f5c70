#pragma once

#include <cstdint>
#include <limits>
#include <optional>

// A counter is the game's 16-bit signed whole number. All arithmetic on
// counters is done wide and checked back into range; nothing wraps.
using Counter = std::int16_t;

constexpr long long counterMin = std::numeric_limits<Counter>::min();
constexpr long long counterMax = std::numeric_limits<Counter>::max();

constexpr bool fitsCounter(long long value) {
    return value >= counterMin && value <= counterMax;
}

constexpr std::optional<Counter> toCounter(long long value) {
    if (!fitsCounter(value))
        return std::nullopt;
    return static_cast<Counter>(value);
}

// Rounds to the nearest whole number, ties to the even one, as the score
// conversions do; nullopt when the result is not a counter.
std::optional<Counter> roundHalfEvenToCounter(double value);
