#include "machine/SpinResult.h"

#include "machine/Symbols.h"

namespace {

QString reelName(Counter symbol) {
    const QString name = symbolName(symbol);
    return name.isEmpty() ? QStringLiteral("not drawn") : name;
}

// The payout table, read the way the payouts read the reels.
int pointsFor(Counter reel1, Counter reel2, Counter reel3) {
    if (reel1 == reel2 && reel2 == reel3)
        return 8;
    if (reel1 == reel3)
        return 2;
    if (reel1 == reel2 || reel2 == reel3)
        return 1;
    return 0;
}

QString pointsText(int points) {
    if (points == 0)
        return QStringLiteral("no points");
    return QString::number(points) +
           (points == 1 ? QStringLiteral(" point") : QStringLiteral(" points"));
}

} // namespace

QString spinResult(Counter reel1, Counter reel2, Counter reel3) {
    return reelName(reel1) + QStringLiteral(", ") + reelName(reel2) + QStringLiteral(", ") +
           reelName(reel3) + QStringLiteral(": ") + pointsText(pointsFor(reel1, reel2, reel3));
}
