// Renders the machine's pictures from their SVG sources and synthesises its
// sound cues, so that every media file the program loads is made by the build.
//
//   make_media <svg-source-dir> <program-dir> <resource-dir>

#include "WavFile.h"
#include "sound/CueFormat.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <vector>

namespace {

constexpr int kSampleRate = sound::cueRate;
constexpr int kJpegQuality = 90;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

using Samples = std::vector<double>;

bool fail(const QString& what) {
    std::fprintf(stderr, "make_media: %s\n", qPrintable(what));
    return false;
}

// ---------------------------------------------------------------- pictures

bool renderSvg(const QString& svgPath, QSize size, const QColor& background, QImage& out) {
    QSvgRenderer renderer(svgPath);
    if (!renderer.isValid())
        return fail(QStringLiteral("cannot read %1").arg(svgPath));
    out = QImage(size, QImage::Format_RGB32);
    out.fill(background);
    QPainter painter(&out);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return true;
}

bool saveImage(const QImage& image, const QString& path, const char* format, int quality = -1) {
    if (!image.save(path, format, quality))
        return fail(QStringLiteral("cannot write %1").arg(path));
    return true;
}

bool makeJpeg(const QString& svgPath, QSize size, const QColor& background, const QString& out) {
    QImage image;
    return renderSvg(svgPath, size, background, image) &&
           saveImage(image, out, "JPG", kJpegQuality);
}

// The icon has no alpha channel at all: a 24-bit picture on white, as the
// window's icon is specified.
bool makeIcon(const QString& svgPath, int side, const QString& out) {
    QImage image;
    return renderSvg(svgPath, QSize(side, side), Qt::white, image) &&
           saveImage(image.convertToFormat(QImage::Format_RGB888), out, "PNG");
}

bool copyFile(const QString& from, const QString& to) {
    QFile::remove(to);
    if (!QFile::copy(from, to))
        return fail(QStringLiteral("cannot copy %1 to %2").arg(from, to));
    return true;
}

// ------------------------------------------------------------------ sounds

int samplesFor(double seconds) {
    return static_cast<int>(std::lround(seconds * kSampleRate));
}

double timeAt(int i) {
    return static_cast<double>(i) / kSampleRate;
}

// A fixed-seed generator of our own: the standard distributions may differ
// between library versions, and the build must give the same files everywhere.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : state_(seed) {}
    double next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<double>(state_) / 2147483648.0 - 1.0;
    }

private:
    std::uint32_t state_;
};

// A bell-like strike: a few inharmonic partials, the higher ones dying faster.
void addBell(Samples& s, double start, double freq, double gain, double decay) {
    struct Partial {
        double ratio, level, decayScale;
    };
    static constexpr Partial partials[] = {
        {1.0, 1.0, 1.0}, {2.0, 0.45, 0.7}, {2.76, 0.35, 0.45}, {4.07, 0.2, 0.3}, {5.4, 0.12, 0.2}};
    const int first = samplesFor(start);
    for (int i = first; i < static_cast<int>(s.size()); ++i) {
        const double t = timeAt(i - first);
        const double attack = std::min(1.0, t / 0.002);
        double v = 0;
        for (const Partial& p : partials)
            v += p.level * std::exp(-t / (decay * p.decayScale)) *
                 std::sin(kTwoPi * freq * p.ratio * t);
        s[i] += gain * attack * v;
    }
}

// Raised-cosine ramps at both ends, so no cue starts or stops with a step.
void fadeEdges(Samples& s, double inSeconds, double outSeconds) {
    const int n = static_cast<int>(s.size());
    const int in = std::min(n, samplesFor(inSeconds));
    const int out = std::min(n, samplesFor(outSeconds));
    for (int i = 0; i < in; ++i)
        s[i] *= 0.5 - 0.5 * std::cos(std::numbers::pi * i / in);
    for (int i = 0; i < out; ++i)
        s[n - 1 - i] *= 0.5 - 0.5 * std::cos(std::numbers::pi * i / out);
}

void removeDc(Samples& s) {
    double mean = 0;
    for (double v : s)
        mean += v;
    mean /= static_cast<double>(s.size());
    for (double& v : s)
        v -= mean;
}

void normalize(Samples& s, double peak) {
    double max = 0;
    for (double v : s)
        max = std::max(max, std::abs(v));
    if (max > 0)
        for (double& v : s)
            v *= peak / max;
}

double decibels(double db) {
    return std::pow(10.0, db / 20.0);
}

// A pawl snapping over a ratchet, then the arm hitting its stop.
Samples leverSound() {
    Samples s(samplesFor(0.24), 0.0);
    Noise noise(0x1e7e2u);
    const double clicks[] = {0.0, 0.022, 0.041, 0.058, 0.073, 0.086};
    for (double at : clicks) {
        const int first = samplesFor(at);
        double low = 0;
        for (int i = 0; i < samplesFor(0.012); ++i) {
            const double t = timeAt(i);
            // The click's body: noise with its lows removed, and a metal ring.
            const double n = noise.next();
            low += 0.25 * (n - low);
            const double tick = (n - low) * std::exp(-t / 0.0015) +
                                0.6 * std::sin(kTwoPi * 3100 * t) * std::exp(-t / 0.003);
            s[first + i] += 0.5 * tick;
        }
    }
    const int thud = samplesFor(0.1);
    double phase = 0;
    double low = 0;
    for (int i = thud; i < static_cast<int>(s.size()); ++i) {
        const double t = timeAt(i - thud);
        const double freq = 60 + 70 * std::exp(-t / 0.02);
        phase += kTwoPi * freq / kSampleRate;
        low += 0.08 * (noise.next() - low);
        s[i] += std::exp(-t / 0.045) * std::sin(phase) + 2.5 * low * std::exp(-t / 0.008);
    }
    removeDc(s);
    fadeEdges(s, 0.0005, 0.02);
    normalize(s, decibels(-4.5));
    return s;
}

// One reel click, heard 300 times in a spin: a damped knock under a smooth
// window, forced to a zero mean so repetition builds up no offset.
Samples rollSound() {
    const int n = samplesFor(0.005);
    Samples s(n, 0.0);
    Samples window(n, 0.0);
    double sum = 0, windowSum = 0;
    for (int i = 0; i < n; ++i) {
        const double t = timeAt(i);
        const double w =
            std::pow(std::sin(std::numbers::pi * i / (n - 1)), 2) * std::exp(-t / 0.0018);
        window[i] = w;
        s[i] = w * (std::sin(kTwoPi * 1900 * t) + 0.4 * std::sin(kTwoPi * 4300 * t));
        sum += s[i];
        windowSum += w;
    }
    for (int i = 0; i < n; ++i)
        s[i] -= window[i] * sum / windowSum;
    normalize(s, decibels(-12));
    return s;
}

// Two rising soft blips: the hold has taken.
Samples holdSound() {
    Samples s(samplesFor(0.13), 0.0);
    const struct {
        double start, length, freq;
    } blips[] = {{0.0, 0.055, 1046.5}, {0.06, 0.07, 1568.0}};
    for (const auto& b : blips) {
        const int first = samplesFor(b.start);
        const int len = samplesFor(b.length);
        for (int i = 0; i < len && first + i < static_cast<int>(s.size()); ++i) {
            const double t = timeAt(i);
            const double env = std::sin(std::numbers::pi * i / len);
            s[first + i] +=
                env * env *
                (std::sin(kTwoPi * b.freq * t) + 0.2 * std::sin(kTwoPi * 2 * b.freq * t));
        }
    }
    fadeEdges(s, 0.001, 0.005);
    normalize(s, decibels(-7));
    return s;
}

// A rising major arpeggio on bells, the last note ringing.
Samples winSound() {
    Samples s(samplesFor(0.95), 0.0);
    const double notes[] = {1046.5, 1318.5, 1568.0, 2093.0};
    for (int k = 0; k < 4; ++k)
        addBell(s, 0.085 * k, notes[k], k == 3 ? 1.0 : 0.75, k == 3 ? 0.28 : 0.16);
    addBell(s, 0.34, 2637.0, 0.45, 0.22);
    fadeEdges(s, 0.001, 0.12);
    normalize(s, decibels(-4));
    return s;
}

// The sad trombone: three falling notes and a last one that sags and wobbles.
// Each note opens and closes its brightness like a plunger mute.
Samples loseSound() {
    Samples s(samplesFor(1.15), 0.0);
    const struct {
        double start, length, freq, slide;
    } notes[] = {{0.0, 0.22, 392.0, 0.0},
                 {0.24, 0.22, 370.0, 0.0},
                 {0.48, 0.22, 349.2, 0.0},
                 {0.72, 0.43, 329.6, -0.12}};
    for (const auto& note : notes) {
        const int first = samplesFor(note.start);
        const int len = samplesFor(note.length);
        const bool last = note.slide != 0.0;
        double phase = 0;
        for (int i = 0; i < len && first + i < static_cast<int>(s.size()); ++i) {
            const double t = timeAt(i);
            const double x = static_cast<double>(i) / len;
            double freq = note.freq * (1.0 + note.slide * x * x);
            if (last)
                freq *= 1.0 + 0.02 * std::sin(kTwoPi * 6.0 * t) * x;
            phase += kTwoPi * freq / kSampleRate;
            const double env = std::min(1.0, t / 0.02) * std::min(1.0, (1.0 - x) / 0.15);
            const double open =
                last ? 0.35 + 0.45 * std::sin(std::numbers::pi * std::min(1.0, 2.2 * x))
                     : 0.3 + 0.5 * std::sin(std::numbers::pi * x);
            double v = 0;
            double level = 1.0;
            for (int h = 1; h <= 10; ++h) {
                v += level / h * std::sin(h * phase);
                level *= open;
            }
            s[first + i] += env * v;
        }
    }
    removeDc(s);
    fadeEdges(s, 0.002, 0.05);
    normalize(s, decibels(-9));
    return s;
}

bool writeWav(const Samples& s, const QString& path) {
    std::vector<std::int16_t> quantised;
    quantised.reserve(s.size());
    for (double v : s)
        quantised.push_back(
            static_cast<std::int16_t>(std::lround(std::clamp(v, -1.0, 1.0) * 32767.0)));
    const QByteArray out = wavfile::make(1, kSampleRate, 16, wavfile::pcm16(quantised));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(out) != out.size())
        return fail(QStringLiteral("cannot write %1").arg(path));
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_media <svg-source-dir> <program-dir> <resource-dir>\n");
        return 2;
    }
    const QDir src(QString::fromLocal8Bit(argv[1]));
    const QDir program(QString::fromLocal8Bit(argv[2]));
    const QDir resources(QString::fromLocal8Bit(argv[3]));
    if (!QDir().mkpath(program.path()) || !QDir().mkpath(resources.path())) {
        fail(QStringLiteral("cannot create the output folders"));
        return 1;
    }

    // The reel windows show 119 x 103 pixels inside their border. Drawn at
    // twice that, a symbol stays sharp on a screen of twice the density; each
    // is scaled to its reel once, when first shown.
    const QSize symbolSize(238, 206);
    const QSize leverSize(42, 200);
    bool ok = true;
    for (int n = 1; n <= 7; ++n)
        ok = makeJpeg(src.filePath(QStringLiteral("%1.svg").arg(n)), symbolSize, Qt::white,
                      program.filePath(QStringLiteral("%1.jpg").arg(n))) &&
             ok;
    ok = makeJpeg(src.filePath("leverup.svg"), leverSize, Qt::black,
                  program.filePath("leverup.jpg")) &&
         ok;
    ok = makeJpeg(src.filePath("leverdown.svg"), leverSize, Qt::black,
                  program.filePath("leverdown.jpg")) &&
         ok;
    ok = makeJpeg(src.filePath("leverup.svg"), leverSize, Qt::black,
                  resources.filePath("lever.jpg")) &&
         ok;

    ok = makeIcon(src.filePath("strawberry.svg"), 32, resources.filePath("icon.png")) && ok;
    ok = makeIcon(src.filePath("strawberry.svg"), 64, resources.filePath("icon-64.png")) && ok;
    ok = makeIcon(src.filePath("strawberry.svg"), 256, resources.filePath("icon-256.png")) && ok;
    ok = copyFile(src.filePath("strawberry.svg"), resources.filePath("strawberry.svg")) && ok;

    // Best quality, so the placeholder decodes as pure white.
    QImage white(1, 1, QImage::Format_RGB32);
    white.fill(Qt::white);
    ok = saveImage(white, resources.filePath("white.jpg"), "JPG", 100) && ok;

    ok = writeWav(leverSound(), program.filePath("lever.wav")) && ok;
    ok = writeWav(rollSound(), program.filePath("roll.wav")) && ok;
    ok = writeWav(holdSound(), program.filePath("hold.wav")) && ok;
    ok = writeWav(winSound(), program.filePath("win.wav")) && ok;
    ok = writeWav(loseSound(), program.filePath("lose.wav")) && ok;
    return ok ? 0 : 1;
}
