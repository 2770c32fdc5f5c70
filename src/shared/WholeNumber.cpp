#include "shared/WholeNumber.h"

std::optional<int> parseWholeNumber(const QString& text, int low, int high) {
    const QString trimmed = text.trimmed();
    qsizetype at = 0;
    bool negative = false;
    if (at < trimmed.size() && (trimmed[at] == u'+' || trimmed[at] == u'-')) {
        negative = trimmed[at] == u'-';
        ++at;
    }
    if (at == trimmed.size())
        return std::nullopt;
    long long magnitude = 0;
    for (; at < trimmed.size(); ++at) {
        const char16_t c = trimmed[at].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        magnitude = magnitude * 10 + (c - u'0');
        // Stop growing long before overflow: anything past every int is out
        // of range, whatever the range asked for.
        if (magnitude > (1LL << 32))
            return std::nullopt;
    }
    const long long value = negative ? -magnitude : magnitude;
    if (value < low || value > high)
        return std::nullopt;
    return static_cast<int>(value);
}
