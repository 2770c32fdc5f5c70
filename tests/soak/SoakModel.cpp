#include "soak/SoakModel.h"

#include <algorithm>
#include <utility>

namespace soak {

namespace {

QString number(int value) {
    return QString::number(value);
}

bool fits(long long value) {
    return value >= lowest && value <= highest;
}

} // namespace

namespace {
// Spaces, and the white space a pasted text may bring: tabs and line breaks.
bool blank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f';
}
} // namespace

Typed readTyped(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && blank(text[begin]))
        ++begin;
    while (end > begin && blank(text[end - 1]))
        --end;
    if (begin == end)
        return {Typed::Empty, 0};
    bool negative = false;
    if (text[begin] == u'+' || text[begin] == u'-') {
        negative = text[begin] == u'-';
        ++begin;
    }
    if (begin == end)
        return {Typed::NotNumber, 0};
    long long value = 0;
    bool huge = false;
    for (qsizetype i = begin; i < end; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return {Typed::NotNumber, 0};
        if (!huge) {
            value = value * 10 + (c - u'0');
            huge = value > 1'000'000'000'000LL;
        }
    }
    return {Typed::Number, negative ? -value : value};
}

long long quartersRoundedHalfEven(long long quarters) {
    // Floor division, then the remainder decides: below a half down, above
    // a half up, exactly a half to the even neighbour.
    long long whole = quarters / 4;
    long long rest = quarters % 4;
    if (rest < 0) {
        rest += 4;
        whole -= 1;
    }
    if (rest > 2 || (rest == 2 && whole % 2 != 0))
        return whole + 1;
    return whole;
}

Box tooMuch() {
    return {QStringLiteral("Too much!"), QStringLiteral("The machine can't count that high."),
            false};
}

Model::Model() = default;

std::optional<Box> Model::coinIn(int euro) {
    if (cash - euro < 0)
        return Box{QStringLiteral("Loan?"), QStringLiteral("Hey! no loans buddy!"), true};
    if (!fits(credits + 4LL * euro))
        return tooMuch();
    cash -= euro;
    credits += 4 * euro;
    return std::nullopt;
}

std::optional<Box> Model::convert(int& target) {
    std::optional<Box> refusal;
    if (score > 3) {
        const long long converted = quartersRoundedHalfEven(score + 4LL * target);
        if (fits(converted)) {
            target = static_cast<int>(converted);
            score = 0;
        } else {
            refusal = tooMuch();
        }
    }
    return refusal;
}

void Model::updateLabels() {
    creditsText = QStringLiteral("Credits: ") + number(credits);
    scoreText = QStringLiteral("Score: ") + number(score);
    if (!open)
        return;
    if (!walletLoaded) {
        walletLoaded = true;
        walletVisible = false;
    }
    cashText = number(cash);
}

void Model::toggleHold(int reel) {
    holdTouched = true;
    held[static_cast<std::size_t>(reel)] = !held[static_cast<std::size_t>(reel)];
}

void Model::holdClicked(int reel) {
    // A disabled button takes no click.
    if (holdsEnabled)
        toggleHold(reel);
}

void Model::speedClicked() {
    speed = !speed;
    spinLimit = speed ? 1 : 50;
}

void Model::walletButton() {
    if (!open)
        return;
    if (!walletLoaded) {
        walletLoaded = true;
        cashText = QStringLiteral("10"); // the stored text, until the next refresh
    }
    walletVisible = true;
}

void Model::walletCloseBox() {
    walletLoaded = false;
    walletVisible = false;
}

void Model::refresh() {
    if (!open)
        return;
    creditsText = QStringLiteral("Credits: ") + number(credits);
    if (credits == 0)
        coinVisible = !coinVisible;
    if (credits > 0)
        coinVisible = false;
    updateLabels();
}

bool Model::autoplayFired() {
    timer2Armed = false;
    return open && aplay;
}

PullStart Model::pull() {
    if (!open || spinning || credits == 0 || credits - 1 < lowest)
        return {};
    PullStart start{true, false, std::nullopt};
    credits -= 1;
    if (cts && credits == 0) {
        start.converted = true;
        start.box = scoreToCredits();
    }
    spinning = true;
    holdsEnabled = false;
    holdTouched = false;
    return start;
}

void Model::pullTexts(const PullStart& start) {
    if (start.converted)
        updateLabels();
    creditsText = QStringLiteral("Credits: ") + number(credits);
}

int Model::spinEnded(const Reels& reels) {
    holdsEnabled = true;
    for (int reel = 0; reel < 3; ++reel) {
        if (held[static_cast<std::size_t>(reel)]) {
            toggleHold(reel);
            holdsEnabled = false;
        }
    }
    const int before = score;
    const auto [a, b, c] = reels;
    if (a == b && b == c) {
        pay(8, {true, true, true});
    } else {
        if (a == c)
            pay(2, {true, false, true});
        if (a == b)
            pay(1, {true, true, false});
        if (b == c)
            pay(1, {false, true, true});
    }
    spinning = false;
    if (aplay)
        timer2Armed = true;
    scoreText = QStringLiteral("Score: ") + number(score);
    return score - before;
}

void Model::pay(int points, std::array<bool, 3> reels) {
    score = std::min(highest, score + points);
    if (aplay && !holdTouched) {
        for (int reel = 0; reel < 3; ++reel)
            if (reels[static_cast<std::size_t>(reel)])
                toggleHold(reel);
        holdTouched = true;
    }
}

std::optional<Box> Model::spinLimitAnswer(const std::optional<QString>& answer) {
    if (!answer)
        return std::nullopt;
    const Typed typed = readTyped(*answer);
    if (typed.kind == Typed::Empty)
        return std::nullopt;
    if (typed.kind == Typed::Number && typed.value >= -8192 && typed.value <= 8191) {
        spinLimit = static_cast<int>(typed.value);
        return std::nullopt;
    }
    return Box{QStringLiteral("Spinlimit"),
               QStringLiteral("Please type a whole number from -8192 to 8191."), false};
}

std::optional<Box> Model::addMoneyAnswer(const std::optional<QString>& answer) {
    if (!answer)
        return std::nullopt;
    const Typed typed = readTyped(*answer);
    if (typed.kind == Typed::Empty)
        return std::nullopt;
    if (typed.kind != Typed::Number || !fits(typed.value))
        return Box{QStringLiteral("Cheat!"),
                   QStringLiteral("Please type a whole number from -32768 to 32767."), false};
    addAmount = static_cast<int>(typed.value);
    if (!fits(static_cast<long long>(cash) + addAmount))
        return tooMuch();
    cash += addAmount;
    return std::nullopt;
}

void Model::machineClosed() {
    open = false;
    walletLoaded = false;
    walletVisible = false;
    timer2Armed = false;
}

std::optional<QString> Model::outOfRange() const {
    for (const auto& [name, value] : {std::pair{"credits", credits}, std::pair{"cash", cash},
                                      std::pair{"score", score}, std::pair{"addAmount", addAmount}})
        if (!fits(value))
            return QStringLiteral("%1 = %2 left the counter range").arg(name).arg(value);
    if (!fits(4LL * spinLimit))
        return QStringLiteral("four times the spin limit %1 is no counter").arg(spinLimit);
    if (credits < 0)
        return QStringLiteral("credits went below zero: %1").arg(credits);
    return std::nullopt;
}

} // namespace soak
