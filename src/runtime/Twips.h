#pragma once

#include <QColor>
#include <QRect>
#include <cstdint>

namespace rt {

// Window geometry is designed in twips; 15 make one pixel at 96 dots per inch.
constexpr int twipsToPixels(int twips) {
    return twips / 15;
}

struct TwipRect {
    int left, top, width, height;
    QRect pixels() const {
        return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                twipsToPixels(height)};
    }
};

// Colours are designed as &H00BBGGRR values.
constexpr QRgb bgrColour(std::uint32_t bbggrr) {
    return qRgb(bbggrr & 0xff, (bbggrr >> 8) & 0xff, (bbggrr >> 16) & 0xff);
}

// Font sizes are designed in points at 96 dots per inch; pixel sizes keep the
// fixed-size windows looking the same whatever DPI the desktop reports.
constexpr int pointsToPixels(double points) {
    return static_cast<int>(points * 96.0 / 72.0 + 0.5);
}

} // namespace rt
