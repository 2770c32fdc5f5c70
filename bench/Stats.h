#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

// Order statistics over one benchmark's samples.
namespace bench {

// The p-th percentile by nearest rank: the smallest sample that at least
// p % of the samples do not exceed. p = 50 gives the (lower) median.
inline double percentile(std::vector<double> samples, double p) {
    if (samples.empty())
        return 0.0;
    std::sort(samples.begin(), samples.end());
    const auto rank = static_cast<std::size_t>(std::ceil(p / 100.0 * samples.size()));
    return samples[std::clamp<std::size_t>(rank, 1, samples.size()) - 1];
}

inline double median(std::vector<double> samples) {
    if (samples.empty())
        return 0.0;
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    return n % 2 == 1 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2.0;
}

} // namespace bench
