#include "machine/Form1.h"

#include "runtime/RandomSource.h"
#include "shared/Seams.h"

#include <cmath>

Counter Form1::Rand(Counter low, Counter high) {
    const float r = seams().random().next();
    const auto count = toCounter(static_cast<long long>(high) - low + 1);
    if (!count)
        return low;
    // The product stays in double precision: rounding it back to single
    // precision could turn a draw just below 1 into the count itself.
    const double product = static_cast<double>(static_cast<float>(*count)) * r;
    return toCounter(static_cast<long long>(std::floor(product)) + low).value_or(low);
}
