#include "sound/SystemCuePlayer.h"

#include "sound/AfterFirstPaint.h"
#include "sound/Cues.h"
#include "sound/OpenOutput.h"
#include "sound/QuietAlsa.h"
#include "sound/WavFile.h"

#include <QHash>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <future>
#include <optional>
#include <string>
#include <thread>
#include <utility>

namespace sound {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Looking for an output takes a tenth of a second and more (sound servers
// and cards are probed), so while there is none it is looked for at most
// this often, and only while cues are played.
constexpr Clock::duration retryEvery = 2s;

// The longest the first cue waits for the first output to open, when it comes
// before the window is painted; an opening that takes longer (a loaded
// machine probing for sound servers) leaves that cue silent, not late.
constexpr Clock::duration firstWait = 1s;

// The longest the program waits for its output to close as it ends.
constexpr Clock::duration closeWithin = 500ms;

} // namespace

struct SystemCuePlayer::Impl {
    std::optional<QuietAlsa> quietAlsa; // first in, last out: it outlives every device
    std::unique_ptr<Output> output;
    // Only cues that loaded are kept, so a file that turns up later is heard.
    QHash<QByteArray, QByteArray> cues;
    // The output is opened beside the game, never while a cue waits, except
    // for the first: once the first window is painted, or for the first cue
    // if that comes sooner, which waits a moment for it. Later openings
    // (after a loss, or while there is none) are started by cues and picked
    // up by the first cue after them.
    std::future<std::unique_ptr<Output>> opening;
    // When an output was last looked for; never, until the first opening.
    Clock::time_point lastTry;
    // Said that there is no sound, and so owes a word when it is back. Each
    // is said once, not at every try.
    bool silent = false;
    // Last, so that it goes first, and a call still pending goes with it.
    AfterFirstPaint afterFirstPaint{[this] { startFirstOpening(); }};

    void startFirstOpening() {
        if (lastTry != Clock::time_point{}) {
            return;
        }
        lastTry = Clock::now();
        quietAlsa.emplace();
        opening = std::async(std::launch::async, [] {
            std::string why;
            std::unique_ptr<Output> opened = openOutput(why);
            // Said at once, not at the first cue, which may never come.
            if (!opened) {
                std::replace(why.begin(), why.end(), '\n', ' ');
                std::fprintf(stderr, "rolvanger: sound is silent, %s\n", why.c_str());
            }
            return opened;
        });
    }

    // Closes a lost output and, unless the last try was just now, looks for
    // another.
    void reopen(std::unique_ptr<Output> lost) {
        const bool look = Clock::now() - lastTry >= retryEvery;
        if (look) {
            lastTry = Clock::now();
        }
        opening = std::async(std::launch::async, [lost = std::move(lost), look]() mutable {
            lost.reset();
            std::string why; // said once, by the first opening
            return look ? openOutput(why) : nullptr;
        });
    }

    // Takes the output an opening made, if it is ready within patience.
    void pickUp(Clock::duration patience) {
        if (!opening.valid() || opening.wait_for(patience) != std::future_status::ready) {
            return;
        }
        output = opening.get();
        if (output && silent) {
            std::fputs("rolvanger: sound is back\n", stderr);
        }
        silent = !output;
    }

    void sound(const QByteArray& cue) {
        if (cue.size() < cueBytesPerFrame) {
            return;
        }
        if (lastTry == Clock::time_point{}) {
            startFirstOpening();
            pickUp(firstWait);
        }
        pickUp(Clock::duration::zero());
        if (output) {
            if (output->play(cue)) {
                return;
            }
            silent = true;
            std::fputs("rolvanger: sound lost, the sound server or device went away\n", stderr);
            reopen(std::exchange(output, nullptr));
            return;
        }
        const Clock::time_point heardOut = Clock::now() + cueLength(cue);
        if (!opening.valid() && Clock::now() - lastTry >= retryEvery) {
            reopen(nullptr);
        }
        std::this_thread::sleep_until(heardOut);
    }
};

SystemCuePlayer::SystemCuePlayer() : d_(std::make_unique<Impl>()) {
    // The desktop's mixer shows the game's icon beside its volume, and may
    // treat a game's sound as such. PulseAudio, and PipeWire standing in for
    // it, take these properties from the environment as they connect.
    for (const auto& [name, value] : {std::pair{"PULSE_PROP_application.icon_name", "rolvanger"},
                                      std::pair{"PULSE_PROP_media.role", "game"}}) {
        if (!qEnvironmentVariableIsSet(name)) {
            qputenv(name, value);
        }
    }
}

SystemCuePlayer::~SystemCuePlayer() {
    // Closed on a thread of its own: SDL's PipeWire driver has been seen to
    // hang as its device closes, and the game then never ended.
    if (d_->output) {
        d_->output->wake();
    }
    auto closed = std::make_shared<std::promise<void>>();
    std::future<void> done = closed->get_future();
    std::thread([output = std::move(d_->output), opening = std::move(d_->opening),
                 closed]() mutable {
        if (opening.valid()) {
            opening.get(); // its output, if any, closes with it
        }
        output.reset();
        closed->set_value();
    }).detach();
    done.wait_for(closeWithin);
}

void SystemCuePlayer::play(const QByteArray& path) {
    if (auto known = d_->cues.constFind(path); known != d_->cues.constEnd()) {
        d_->sound(known.value());
        return;
    }
    if (std::optional<QByteArray> loaded = readWavFile(path)) {
        d_->sound(d_->cues.insert(path, std::move(*loaded)).value());
        return;
    }
    d_->sound(defaultChime());
}

} // namespace sound
