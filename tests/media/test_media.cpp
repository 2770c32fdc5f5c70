// Checks the generated pictures and sounds as the program will load them:
// from its own folder, plus the files the window embeds as resources.
#include "support/LeverKnob.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTest>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

namespace {

QString programFile(const QString& name) {
    return QDir(QCoreApplication::applicationDirPath()).filePath(name);
}

QString resourceFile(const QString& name) {
    return QDir(QCoreApplication::applicationDirPath())
        .filePath(QStringLiteral("../resources/") + name);
}

struct Wav {
    int format = 0, channels = 0, rate = 0, bits = 0;
    std::vector<std::int16_t> samples;
};

std::uint32_t le(const QByteArray& b, qsizetype at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | static_cast<std::uint8_t>(b[at + i]);
    return v;
}

// Walks the RIFF chunks, so a file with extra chunks still reads correctly.
std::optional<Wav> readWav(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray b = file.readAll();
    if (b.size() < 12 || !b.startsWith("RIFF") || b.mid(8, 4) != "WAVE")
        return std::nullopt;
    Wav wav;
    bool haveFormat = false, haveData = false;
    for (qsizetype at = 12; at + 8 <= b.size();) {
        const QByteArray id = b.mid(at, 4);
        const qsizetype size = le(b, at + 4, 4);
        const qsizetype body = at + 8;
        if (body + size > b.size())
            return std::nullopt;
        if (id == "fmt " && size >= 16) {
            wav.format = static_cast<int>(le(b, body, 2));
            wav.channels = static_cast<int>(le(b, body + 2, 2));
            wav.rate = static_cast<int>(le(b, body + 4, 4));
            wav.bits = static_cast<int>(le(b, body + 14, 2));
            haveFormat = true;
        } else if (id == "data") {
            for (qsizetype i = 0; i + 1 < size; i += 2)
                wav.samples.push_back(static_cast<std::int16_t>(le(b, body + i, 2)));
            haveData = true;
        }
        at = body + size + (size & 1);
    }
    if (!haveFormat || !haveData)
        return std::nullopt;
    return wav;
}

QImage loadJpeg(const QString& path) {
    QImageReader reader(path);
    if (reader.format() != "jpeg")
        return {};
    return reader.read();
}

bool isBlack(QRgb c) {
    return qRed(c) < 24 && qGreen(c) < 24 && qBlue(c) < 24;
}

} // namespace

class TestMedia : public QObject {
    Q_OBJECT

private slots:
    void symbols();
    void levers();
    void sounds_data();
    void sounds();
    void resources();
};

void TestMedia::symbols() {
    std::vector<QImage> symbols;
    for (int n = 1; n <= 7; ++n) {
        const QImage image = loadJpeg(programFile(QStringLiteral("%1.jpg").arg(n)));
        QVERIFY2(!image.isNull(),
                 qPrintable(QStringLiteral("%1.jpg is not a readable JPEG").arg(n)));
        // Twice the size the reel windows show inside their border, so a
        // reel stays sharp at a desktop scale of 2.
        QCOMPARE(image.size(), QSize(238, 206));
        // A light face: the corners are the background.
        for (QPoint corner : {QPoint(2, 2), QPoint(235, 2), QPoint(2, 203), QPoint(235, 203)})
            QVERIFY2(qGray(image.pixel(corner)) > 200, qPrintable(QString::number(n)));
        symbols.push_back(image.convertToFormat(QImage::Format_RGB32));
    }
    // Distinct means distinct to the eye, not merely different bytes.
    for (std::size_t a = 0; a < symbols.size(); ++a)
        for (std::size_t b = a + 1; b < symbols.size(); ++b) {
            long long diff = 0;
            for (int y = 0; y < 206; ++y)
                for (int x = 0; x < 238; ++x) {
                    const QRgb p = symbols[a].pixel(x, y), q = symbols[b].pixel(x, y);
                    diff += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                            std::abs(qBlue(p) - qBlue(q));
                }
            const double perPixel = static_cast<double>(diff) / (238.0 * 206.0);
            QVERIFY2(
                perPixel > 40,
                qPrintable(QStringLiteral("symbols %1 and %2 look alike").arg(a + 1).arg(b + 1)));
        }
}

void TestMedia::levers() {
    const QImage up = loadJpeg(programFile("leverup.jpg"));
    const QImage down = loadJpeg(programFile("leverdown.jpg"));
    for (const QImage* lever : {&up, &down}) {
        QVERIFY(!lever->isNull());
        QCOMPARE(lever->size(), QSize(42, 200));
        for (QPoint corner : {QPoint(0, 0), QPoint(41, 0), QPoint(0, 199), QPoint(41, 199)})
            QVERIFY(isBlack(lever->pixel(corner)));
    }
    const double upRow = knobRow(up), downRow = knobRow(down);
    QVERIFY2(upRow >= 0 && downRow >= 0, "no red knob found");
    QVERIFY2(upRow < 60, "the resting knob is not at the top");
    QVERIFY2(downRow > upRow + 60, "the pulled knob does not sit low");
}

void TestMedia::sounds_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("minMs");
    QTest::addColumn<double>("maxMs");
    QTest::newRow("lever") << "lever.wav" << 50.0 << 250.0;
    QTest::newRow("roll") << "roll.wav" << 3.0 << 8.0;
    QTest::newRow("hold") << "hold.wav" << 30.0 << 150.0;
    QTest::newRow("win") << "win.wav" << 200.0 << 1000.0;
    QTest::newRow("lose") << "lose.wav" << 300.0 << 1200.0;
}

void TestMedia::sounds() {
    QFETCH(QString, name);
    QFETCH(double, minMs);
    QFETCH(double, maxMs);
    const std::optional<Wav> wav = readWav(programFile(name));
    QVERIFY2(wav, "not a RIFF WAVE file");
    QCOMPARE(wav->format, 1);
    QCOMPARE(wav->channels, 1);
    QCOMPARE(wav->rate, 44100);
    QCOMPARE(wav->bits, 16);
    QVERIFY(!wav->samples.empty());

    const double ms = 1000.0 * static_cast<double>(wav->samples.size()) / wav->rate;
    QVERIFY2(ms >= minMs && ms <= maxMs, qPrintable(QStringLiteral("%1 ms").arg(ms)));

    int peak = 0;
    long long sum = 0;
    for (std::int16_t s : wav->samples) {
        peak = std::max(peak, std::abs(static_cast<int>(s)));
        sum += s;
    }
    QVERIFY2(peak > 3000, "silent");
    QVERIFY2(peak < 23200, "louder than -3 dBFS"); // 32767 * 10^(-3/20)
    // Edges at rest, so the cue neither starts nor stops with a click.
    QVERIFY(std::abs(wav->samples.front()) < 330);
    QVERIFY(std::abs(wav->samples.back()) < 330);
    // No offset: the reel click repeats 300 times a spin.
    const double mean = static_cast<double>(sum) / static_cast<double>(wav->samples.size());
    QVERIFY2(std::abs(mean) < 33, qPrintable(QStringLiteral("mean %1").arg(mean)));
}

void TestMedia::resources() {
    QImageReader iconReader(resourceFile("icon.png"));
    QCOMPARE(iconReader.format(), QByteArray("png"));
    const QImage icon = iconReader.read();
    QCOMPARE(icon.size(), QSize(32, 32));
    QVERIFY2(!icon.hasAlphaChannel(), "the icon must be fully opaque");
    QCOMPARE(icon.pixel(0, 0), qRgb(255, 255, 255));
    const QRgb middle = icon.pixel(16, 20);
    QVERIFY2(qRed(middle) > 150 && qGreen(middle) < 100, "no red berry in the icon's middle");

    // Sharp window icons on a scaled desktop, and in the menu.
    QCOMPARE(QImage(resourceFile("icon-64.png")).size(), QSize(64, 64));
    QCOMPARE(QImage(resourceFile("icon-256.png")).size(), QSize(256, 256));
    QVERIFY(QFileInfo(resourceFile("strawberry.svg")).size() > 0);

    const QImage lever = loadJpeg(resourceFile("lever.jpg"));
    QCOMPARE(lever.size(), QSize(42, 200));
    QCOMPARE(lever, loadJpeg(programFile("leverup.jpg")));

    const QImage white = loadJpeg(resourceFile("white.jpg"));
    QCOMPARE(white.size(), QSize(1, 1));
    const QRgb c = white.pixel(0, 0);
    QVERIFY(qRed(c) >= 250 && qGreen(c) >= 250 && qBlue(c) >= 250);
}

QTEST_MAIN(TestMedia)
#include "test_media.moc"
