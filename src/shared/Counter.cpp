#include "shared/Counter.h"

#include <cfenv>
#include <cmath>

std::optional<Counter> roundHalfEvenToCounter(double value) {
    if (!std::isfinite(value) || value < counterMin - 0.5 || value > counterMax + 0.5)
        return std::nullopt;
    // nearbyint follows the rounding mode, which is round-to-nearest-even
    // unless someone changed it; say so explicitly rather than trust it.
    const int previous = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    std::fesetround(previous);
    return toCounter(static_cast<long long>(rounded));
}
