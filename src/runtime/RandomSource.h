#pragma once

#include <cstdint>
#include <random>

namespace rt {

// The machine's random generator: seeded from the clock once at start-up,
// each draw a single-precision r in [0, 1) with 24-bit resolution.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual void seedFromClock() = 0;
    virtual float next() = 0;
};

// The real generator: a Mersenne twister whose top 24 bits make the draw, so
// r is k / 2^24 for a whole k below 2^24 and can never reach 1.0.
class ClockRandomSource final : public RandomSource {
public:
    void seedFromClock() override;
    float next() override;

private:
    std::mt19937 engine_{5489u};
};

} // namespace rt
