#include "machine/SpinResult.h"

#include "machine/Symbols.h"

namespace {

QString reelName(Counter symbol) {
    const QString name = symbolName(symbol);
    return name.isEmpty() ? QStringLiteral("not drawn") : name;
}

QString pointsText(int points) {
    if (points == 0)
        return QStringLiteral("no points");
    return QString::number(points) +
           (points == 1 ? QStringLiteral(" point") : QStringLiteral(" points"));
}

} // namespace

QString spinResult(Counter reel1, Counter reel2, Counter reel3, int points) {
    return reelName(reel1) + QStringLiteral(", ") + reelName(reel2) + QStringLiteral(", ") +
           reelName(reel3) + QStringLiteral(": ") + pointsText(points);
}
