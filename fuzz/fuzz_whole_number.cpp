// Typed text as the prompts read it, compared with a reference reading made
// another way: the grammar as a regular expression, the value by its digits.
#include "shared/WholeNumber.h"

#include <QRegularExpression>
#include <QString>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

std::optional<int> reference(const QString& text, int low, int high) {
    // The grammar, as a pattern: an optional sign and ASCII digits, with
    // white space around.
    static const QRegularExpression grammar(QStringLiteral("^([+-]?)0*([0-9]+)$"));
    const QRegularExpressionMatch match = grammar.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    // The value by its digits: more than 18 of them (leading zeros aside)
    // is past every int, and up to 18 fit a long long.
    const QString digits = match.captured(2);
    if (digits.size() > 18)
        return std::nullopt;
    const long long magnitude = std::stoll(digits.toStdString());
    const long long value = match.captured(1) == QLatin1String("-") ? -magnitude : magnitude;
    if (value < low || value > high)
        return std::nullopt;
    return static_cast<int>(value);
}

// The ranges the program asks for, and the widest ones a caller could.
constexpr int ranges[][2] = {{-8192, 8191}, {-32768, 32767}, {INT_MIN, INT_MAX}, {0, 0}};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    // The first byte chooses the range and whether the rest is UTF-8 or
    // UTF-16, so that any character can be typed.
    const std::uint8_t mode = data[0];
    const auto [low, high] = ranges[mode % 4];
    const char* rest = reinterpret_cast<const char*>(data + 1);
    const qsizetype length = static_cast<qsizetype>(size - 1);
    QString text;
    if (mode & 4) {
        std::u16string units(static_cast<std::size_t>(length / 2), u'\0');
        for (std::size_t i = 0; i < units.size(); ++i)
            units[i] = static_cast<char16_t>(static_cast<std::uint8_t>(rest[2 * i]) |
                                             static_cast<std::uint8_t>(rest[2 * i + 1]) << 8);
        text = QString::fromStdU16String(units);
    } else {
        text = QString::fromUtf8(rest, length);
    }
    const std::optional<int> got = parseWholeNumber(text, low, high);
    const std::optional<int> wanted = reference(text, low, high);
    if (got != wanted) {
        std::fprintf(stderr, "\"%s\" in %d..%d read as %s%d, should be %s%d\n", qPrintable(text),
                     low, high, got ? "" : "nothing ", got.value_or(0), wanted ? "" : "nothing ",
                     wanted.value_or(0));
        std::abort();
    }
    return 0;
}
