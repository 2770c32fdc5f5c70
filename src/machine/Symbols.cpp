#include "machine/Symbols.h"

QString symbolDescription(Counter symbol) {
    static const char* const names[] = {"cherries", "lemon", "orange", "plum",
                                        "bell",     "bar",   "seven"};
    if (symbol < 1 || symbol > 7)
        return QString::number(symbol);
    return QString::number(symbol) + QLatin1Char(' ') + QLatin1String(names[symbol - 1]);
}
