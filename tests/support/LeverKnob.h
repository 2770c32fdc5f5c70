#pragma once

#include <QImage>

// The mean row of the lever's red knob, found by its colour: the rod and the
// base are grey, so nothing else in the picture counts. -1 with no knob.
inline double knobRow(const QImage& lever) {
    double sum = 0;
    int count = 0;
    for (int y = 0; y < lever.height(); ++y)
        for (int x = 0; x < lever.width(); ++x) {
            const QRgb c = lever.pixel(x, y);
            if (qRed(c) > 140 && qGreen(c) < 90 && qBlue(c) < 90) {
                sum += y;
                ++count;
            }
        }
    return count > 50 ? sum / count : -1;
}
