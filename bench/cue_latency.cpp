// What PlaySnd takes beyond the length of the cue it plays, on the program's
// own cue player, for "roll.wav" and for a 300 ms cue made here: through the
// desktop's sound server (PULSE_SERVER or XDG_RUNTIME_DIR say which), or on
// SDL's dummy driver with SDL_AUDIODRIVER=dummy.
//
// Where a server answers, a bare client plays the same cues in turns with the
// player, call for call: a stream of its own that does nothing but write a
// cue and wait for the server to drain it. A server
// whose cycle comes late makes both late alike; the bare client is the floor
// the player is held to there (keys "floor_...").
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
#include <pulse/context.h>
#include <pulse/mainloop.h>
#include <pulse/stream.h>
#include <random>
#include <string>
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

// A cue's own length, in milliseconds.
double cueMilliseconds(const QByteArray& cue) {
    return 1000.0 * static_cast<double>(cue.size()) / (sound::cueBytesPerFrame * sound::cueRate);
}

// The bare client: a stream asking for the player's 10 ms ahead, each cue
// written whole and drained. PipeWire takes a stream's sound a whole piece
// (the granted minreq) at a time and leaves a part of one standing, so the
// cue goes in padded with silence to whole pieces, as the player's does.
// Absent where no server answers, or not wanted (the player told to use
// an SDL driver).
class BareClient {
public:
    explicit BareClient(bool wanted) {
        if (!wanted)
            return;
        loop_ = pa_mainloop_new();
        context_ = pa_context_new(pa_mainloop_get_api(loop_), "bench_cue_latency");
        const Clock::time_point deadline = Clock::now() + std::chrono::seconds(3);
        if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
            !turnUntil([&] { return pa_context_get_state(context_) == PA_CONTEXT_READY; },
                       deadline))
            return;
        const pa_sample_spec spec{PA_SAMPLE_S16NE, sound::cueRate, 1};
        const auto unset = static_cast<std::uint32_t>(-1);
        const pa_buffer_attr ask{unset, sound::cueRate / 100 * sound::cueBytesPerFrame,
                                 sound::cueBytesPerFrame, unset, unset};
        stream_ = pa_stream_new(context_, "bare client", &spec, nullptr);
        if (stream_ == nullptr ||
            pa_stream_connect_playback(stream_, nullptr, &ask, PA_STREAM_ADJUST_LATENCY, nullptr,
                                       nullptr) < 0 ||
            !turnUntil([&] { return pa_stream_get_state(stream_) == PA_STREAM_READY; }, deadline))
            return;
        if (const pa_buffer_attr* granted = pa_stream_get_buffer_attr(stream_))
            piece_ =
                std::max<qsizetype>(sound::cueBytesPerFrame,
                                    granted->minreq - granted->minreq % sound::cueBytesPerFrame);
        ready_ = true;
    }
    ~BareClient() {
        if (stream_ != nullptr) {
            pa_stream_disconnect(stream_);
            pa_stream_unref(stream_);
        }
        if (context_ != nullptr) {
            pa_context_disconnect(context_);
            pa_context_unref(context_);
            pa_mainloop_free(loop_);
        }
    }
    BareClient(const BareClient&) = delete;
    BareClient& operator=(const BareClient&) = delete;
    explicit operator bool() const { return ready_; }

    // False when the server has not drained the cue within its length and
    // two seconds.
    bool play(const QByteArray& cue, double milliseconds) {
        const QByteArray padded = cue + QByteArray((piece_ - cue.size() % piece_) % piece_, '\0');
        if (pa_stream_write(stream_, padded.constData(), static_cast<std::size_t>(padded.size()),
                            nullptr, 0, PA_SEEK_RELATIVE) < 0)
            return false;
        pa_operation* drained = pa_stream_drain(stream_, nullptr, nullptr);
        if (drained == nullptr)
            return false;
        const bool done = turnUntil(
            [&] { return pa_operation_get_state(drained) != PA_OPERATION_RUNNING; },
            Clock::now() + std::chrono::milliseconds(static_cast<int>(milliseconds) + 2000));
        pa_operation_unref(drained);
        return done;
    }

private:
    template <typename Ready> bool turnUntil(Ready ready, Clock::time_point deadline) {
        for (;;) {
            while (pa_mainloop_iterate(loop_, 0, nullptr) > 0) {
            }
            if (ready())
                return true;
            if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(context_)) || Clock::now() >= deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
    }

    pa_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
    qsizetype piece_ = sound::cueBytesPerFrame;
    bool ready_ = false;
};

void print(const std::string& key, double length, const std::vector<double>& beyond) {
    std::printf("%s_length_ms %.2f\n", key.c_str(), length);
    std::printf("%s_calls %zu\n", key.c_str(), beyond.size());
    std::printf("%s_beyond_median_ms %.2f\n", key.c_str(), bench::median(beyond));
    std::printf("%s_beyond_p95_ms %.2f\n", key.c_str(), bench::percentile(beyond, 95));
    std::printf("%s_beyond_max_ms %.2f\n", key.c_str(), bench::percentile(beyond, 100));
}

// Plays the cue `calls` times through PlaySnd (and as often through the bare
// client, in turns, if there is one) and prints how much longer than the cue
// each call took. A pause of 0 to 8 ms before each call, as a spin's tick
// work would leave, lets the calls fall anywhere in the audio device's
// period instead of locking onto it.
void measure(const std::string& key, const QString& fileName, int calls, BareClient& bare) {
    const QString path = QDir(rt::settings().programFolder).filePath(fileName);
    // As the player hears the file.
    const QByteArray cue = sound::decodeCue(QFile::encodeName(path));
    const double length = cueMilliseconds(cue);
    Module1::soundFile = fileName;
    for (int i = 0; i < 5; ++i) { // loads and caches the cue
        Module1::PlaySnd();
        if (bare)
            bare.play(cue, length);
    }
    std::mt19937 gaps(1);
    std::uniform_int_distribution<int> gapMicroseconds(0, 8000);
    const auto timed = [&](auto play) {
        std::this_thread::sleep_for(std::chrono::microseconds(gapMicroseconds(gaps)));
        const Clock::time_point start = Clock::now();
        play();
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count() - length;
    };
    std::vector<double> beyond;
    std::vector<double> floor;
    int stalled = 0;
    for (int i = 0; i < calls; ++i) {
        beyond.push_back(timed([] { Module1::PlaySnd(); }));
        if (bare)
            floor.push_back(timed([&] { stalled += bare.play(cue, length) ? 0 : 1; }));
    }
    print(key, length, beyond);
    if (bare) {
        print("floor_" + key, length, floor);
        std::printf("floor_%s_stalled %d\n", key.c_str(), stalled);
    }
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
    BareClient bare(qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER"));
    measure("roll", QStringLiteral("roll.wav"), calls, bare);
    measure("cue300", QStringLiteral("tone300.wav"), calls, bare);
    seams().remove();
    // What closing the sound adds to the program's way out.
    const Clock::time_point closing = Clock::now();
    player.reset();
    std::printf("close_ms %.2f\n",
                std::chrono::duration<double, std::milli>(Clock::now() - closing).count());
    return 0;
}
