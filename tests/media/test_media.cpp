// Checks the generated pictures and sounds as the program will load them:
// from its own folder, plus the files the window embeds as resources.
#include "sound/Cues.h"
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
#include <cstring>
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

// The samples of a sound as the cue player sounds it. A file already in the
// cue format (mono, 16-bit, 44.1 kHz PCM) behind a plain 44-byte header is
// played sample for sample: its samples are then the file's own.
std::optional<std::vector<std::int16_t>> cueSamples(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    const QByteArray played = sound::decodeCue(QFile::encodeName(path));
    if (!bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE" || played != bytes.mid(44))
        return std::nullopt;
    std::vector<std::int16_t> samples(static_cast<std::size_t>(played.size()) / 2);
    std::memcpy(samples.data(), played.constData(), samples.size() * 2);
    return samples;
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
    const auto samples = cueSamples(programFile(name));
    QVERIFY2(samples && !samples->empty(), "not a WAV file in the cue format");

    const double ms = 1000.0 * static_cast<double>(samples->size()) / sound::cueRate;
    QVERIFY2(ms >= minMs && ms <= maxMs, qPrintable(QStringLiteral("%1 ms").arg(ms)));

    int peak = 0;
    long long sum = 0;
    for (std::int16_t s : *samples) {
        peak = std::max(peak, std::abs(static_cast<int>(s)));
        sum += s;
    }
    QVERIFY2(peak > 3000, "silent");
    QVERIFY2(peak < 23200, "louder than -3 dBFS"); // 32767 * 10^(-3/20)
    // Edges at rest, so the cue neither starts nor stops with a click.
    QVERIFY(std::abs(samples->front()) < 330);
    QVERIFY(std::abs(samples->back()) < 330);
    // No offset: the reel click repeats 300 times a spin.
    const double mean = static_cast<double>(sum) / static_cast<double>(samples->size());
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
