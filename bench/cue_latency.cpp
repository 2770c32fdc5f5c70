// What PlaySnd takes beyond the length of the cue it plays, on the program's
// own cue player, for "roll.wav" and for a 300 ms cue made here: through the
// desktop's sound server (PULSE_SERVER or XDG_RUNTIME_DIR say which), or on
// SDL's dummy driver with SDL_AUDIODRIVER=dummy.
//
// usage: bench_cue_latency [CALLS]   (default 200 calls per cue, at least 20)
// Prints "key value" lines, times in milliseconds.
#include "Stats.h"
#include "WavFile.h"
#include "runtime/Settings.h"
#include "shared/Module1.h"
#include "shared/Seams.h"
#include "sound/Cues.h"
#include "sound/SystemCuePlayer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <numbers>
#include <random>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// A 16-bit mono 44.1 kHz WAV of a soft 440 Hz tone.
bool writeTone(const QString& path, double seconds) {
    const int rate = 44100;
    const auto frames = static_cast<std::uint32_t>(std::lround(seconds * rate));
    std::vector<std::int16_t> samples(frames);
    for (std::uint32_t i = 0; i < frames; ++i)
        samples[i] =
            static_cast<std::int16_t>(8000.0 * std::sin(2.0 * std::numbers::pi * 440.0 * i / rate));
    const QByteArray wav = wavfile::make(1, rate, 16, wavfile::pcm16(samples));
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(wav) == wav.size();
}

// The cue's own length, as the player hears the file.
double cueMilliseconds(const QString& path) {
    return 1000.0 * static_cast<double>(sound::decodeCue(QFile::encodeName(path)).size()) /
           (sound::cueBytesPerFrame * sound::cueRate);
}

// Plays the cue `calls` times through PlaySnd and prints how much longer than
// the cue each call took. A pause of 0 to 8 ms before each call, as a spin's
// tick work would leave, lets the calls fall anywhere in the audio device's
// period instead of locking onto it.
void measure(const char* key, const QString& fileName, int calls) {
    const double length = cueMilliseconds(QDir(rt::settings().programFolder).filePath(fileName));
    Module1::soundFile = fileName;
    for (int i = 0; i < 5; ++i) // loads and caches the cue
        Module1::PlaySnd();
    std::mt19937 gaps(1);
    std::uniform_int_distribution<int> gapMicroseconds(0, 8000);
    std::vector<double> beyond;
    for (int i = 0; i < calls; ++i) {
        std::this_thread::sleep_for(std::chrono::microseconds(gapMicroseconds(gaps)));
        const Clock::time_point start = Clock::now();
        Module1::PlaySnd();
        beyond.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count() -
                         length);
    }
    std::printf("%s_length_ms %.2f\n", key, length);
    std::printf("%s_calls %d\n", key, calls);
    std::printf("%s_beyond_median_ms %.2f\n", key, bench::median(beyond));
    std::printf("%s_beyond_p95_ms %.2f\n", key, bench::percentile(beyond, 95));
    std::printf("%s_beyond_max_ms %.2f\n", key, bench::percentile(beyond, 100));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int calls = argc > 1 ? std::max(20, std::atoi(argv[1])) : 200;

    // The cues are played from a folder of their own: roll.wav copied from the
    // program folder beside the 300 ms tone.
    QTemporaryDir folder;
    const QString media = QCoreApplication::applicationDirPath();
    if (!folder.isValid() ||
        !QFile::copy(QDir(media).filePath(QStringLiteral("roll.wav")),
                     folder.filePath(QStringLiteral("roll.wav"))) ||
        !writeTone(folder.filePath(QStringLiteral("tone300.wav")), 0.300)) {
        std::fprintf(stderr, "bench_cue_latency: cannot prepare the cues\n");
        return 1;
    }
    rt::settings().programFolder = folder.path();

    auto player = std::make_unique<sound::SystemCuePlayer>();
    seams().use(*player);
    measure("roll", QStringLiteral("roll.wav"), calls);
    measure("cue300", QStringLiteral("tone300.wav"), calls);
    seams().remove();
    // What closing the sound adds to the program's way out.
    const Clock::time_point closing = Clock::now();
    player.reset();
    std::printf("close_ms %.2f\n",
                std::chrono::duration<double, std::milli>(Clock::now() - closing).count());
    return 0;
}
