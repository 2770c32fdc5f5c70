// Any bytes as a cue file: the cue player must never crash on them, must
// give the default chime for anything that is not a WAV file, and must hand
// the device whole 16-bit frames. Short cues are also played through SDL's
// dummy driver; longer ones are only loaded, since every cue takes its own
// length to play (decodeCue() gives what play() would sound).
#include "sound/Cues.h"
#include "sound/SystemCuePlayer.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

QTemporaryDir* folder = nullptr;
std::unique_ptr<sound::SystemCuePlayer> player;
long long tried = 0;

// Frames of the shortest cue worth sending to the device here: 5 ms.
constexpr int playedFrames = sound::cueRate / 200;

[[noreturn]] void fault(const char* what) {
    std::fprintf(stderr, "cue fault: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("SDL_AUDIODRIVER", "dummy");
    static QCoreApplication app(*argc, *argv);
    folder = new QTemporaryDir();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Loaded cues are kept by path; a fresh player now and then keeps the
    // memory bounded, and a fresh name each time defeats the keeping.
    if (!player || tried % 256 == 0)
        player = std::make_unique<sound::SystemCuePlayer>();
    const QString name = folder->filePath(QStringLiteral("cue%1.wav").arg(tried++));
    {
        QFile file(name);
        if (!file.open(QIODevice::WriteOnly))
            fault("cannot write the cue file");
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    const QByteArray path = QFile::encodeName(name);
    const QByteArray cue = sound::decodeCue(path);
    const bool looksLikeWav =
        size >= 4 && (std::memcmp(data, "RIFF", 4) == 0 || std::memcmp(data, "WAVE", 4) == 0);
    if (!looksLikeWav && cue != sound::defaultChime())
        fault("bytes that are no WAV file did not give the default chime");
    if (cue.size() % sound::cueBytesPerFrame != 0)
        fault("a cue of half a frame");
    // Every short cue that loads, but only now and then, since each one
    // waits for the device's buffer.
    if (cue.size() / sound::cueBytesPerFrame <= playedFrames && tried % 16 == 1)
        player->play(path);
    QFile::remove(name);
    return 0;
}
