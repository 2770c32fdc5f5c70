#include "machine/Symbols.h"

QString symbolName(Counter symbol) {
    static const char* const names[] = {"cherries", "lemon", "orange", "plum",
                                        "bell",     "bar",   "seven"};
    if (symbol < 1 || symbol > 7)
        return QString();
    return QLatin1String(names[symbol - 1]);
}

QString symbolDescription(Counter symbol) {
    const QString name = symbolName(symbol);
    if (name.isEmpty())
        return QString::number(symbol);
    return QString::number(symbol) + QLatin1Char(' ') + name;
}
