#include "runtime/SdlCuePlayer.h"

#include "runtime/AfterFirstPaint.h"
#include "runtime/AudioDevice.h"
#include "runtime/CueFile.h"
#include "runtime/DefaultChime.h"
#include "runtime/QuietAlsa.h"
#include "runtime/SdlLibrary.h"

#include <QHash>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <future>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace rt {

static_assert(SdlCuePlayer::sampleRate == CueFormat::rate);

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Looking for a device takes a tenth of a second and more (sound servers and
// cards are probed), so while there is none it is looked for at most this
// often, and only while cues are played.
constexpr Clock::duration retryEvery = 2s;

QByteArray chimeBytes() {
    const std::vector<std::int16_t> samples = defaultChime(SdlCuePlayer::sampleRate);
    return QByteArray(reinterpret_cast<const char*>(samples.data()),
                      static_cast<qsizetype>(samples.size() * sizeof(std::int16_t)));
}

// What the desktop's mixer lists the game's sound by.
void nameTheSound() {
    // SDL would otherwise take over SIGINT and SIGTERM and the program
    // could not be stopped from a terminal.
    sdl().SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    sdl().SetHint(SDL_HINT_APP_NAME, "Brim's Rolvanger");
    sdl().SetHint(SDL_HINT_AUDIO_DEVICE_STREAM_NAME, "Sound effects");
    sdl().SetHint(SDL_HINT_AUDIO_DEVICE_STREAM_ROLE, "game");
}

} // namespace

struct SdlCuePlayer::Impl {
    std::optional<QuietAlsa> quietAlsa; // first in, last out: it outlives every device
    std::optional<AudioDevice> device;
    // Only cues that loaded are kept, so a file that turns up later is heard.
    QHash<QByteArray, QByteArray> cues;
    QByteArray chime; // made beside the game, not while the program starts
    // The device is opened beside the game, never while a cue waits, except
    // for the first: once the first window is painted, or for the first cue
    // if that comes sooner. Later openings (after a loss, or while there is
    // none) are started by cues and picked up by the first cue after them.
    std::future<std::optional<AudioDevice>> opening;
    bool firstDone = false;
    unsigned openings = 0; // counts them, so that each knows whether it is the latest
    Clock::time_point lastTry;
    // Said that there is no sound, and so owes a word when it is back. Each
    // is said once, not at every try.
    bool silent = false;
    // Lives in the thread that plays; picks up an opened device there, so
    // that it rests (and costs nothing) before the next cue. Last, so that
    // it goes first, and a call still pending goes with it.
    AfterFirstPaint owner{[this] { startFirstOpening(); }};

    void startFirstOpening() {
        if (opening.valid() || firstDone) {
            return;
        }
        lastTry = Clock::now();
        opening = std::async(std::launch::async, [this, id = ++openings] {
            chime = chimeBytes();
            quietAlsa.emplace();
            std::optional<AudioDevice> opened;
            onSdlThread([&] { opened = openFirst(); });
            pickUpSoon(id);
            return opened;
        });
    }

    std::optional<AudioDevice> openFirst() {
        if (!sdl().loaded) {
            std::fprintf(stderr, "rolvanger: sound is silent, SDL 2 could not be loaded\n");
            return std::nullopt;
        }
        nameTheSound();
        std::string why;
        std::optional<AudioDevice> opened = AudioDevice::open(why);
        if (!opened) {
            std::replace(why.begin(), why.end(), '\n', ' ');
            std::fprintf(stderr,
                         "rolvanger: sound is silent, no audio device could be opened (%s)\n",
                         why.c_str());
        }
        return opened;
    }

    // Closes a lost device and, unless the last try was just now, looks for
    // another.
    void reopen(std::optional<AudioDevice> lost) {
        const bool look = Clock::now() - lastTry >= retryEvery;
        if (look) {
            lastTry = Clock::now();
        }
        opening = std::async(std::launch::async, [this, lost, look, id = ++openings]() mutable {
            std::optional<AudioDevice> opened;
            onSdlThread([&] {
                if (lost) {
                    lost->close();
                }
                std::string why;
                if (look) {
                    opened = AudioDevice::open(why);
                }
            });
            pickUpSoon(id);
            return opened;
        });
    }

    // From an opening that is about to end: the device rests from the next
    // turn of the playing thread's event loop, even if no cue comes. Unless
    // a cue took it first, and another opening began.
    void pickUpSoon(unsigned id) {
        QMetaObject::invokeMethod(
            &owner,
            [this, id] {
                if (id == openings) {
                    pickUp(true);
                }
            },
            Qt::QueuedConnection);
    }

    // Takes the device an opening made, waiting for it only if asked.
    void pickUp(bool wait) {
        if (!opening.valid() ||
            (!wait && opening.wait_for(Clock::duration::zero()) != std::future_status::ready)) {
            return;
        }
        device = opening.get();
        firstDone = true;
        if (device) {
            device->rest();
            if (silent) {
                silent = false;
                std::fputs("rolvanger: sound is back, an audio device was opened\n", stderr);
            }
        } else {
            silent = true;
        }
    }

    void waitForFirstOpening() {
        if (!firstDone) {
            startFirstOpening();
            pickUp(true);
        }
    }

    void sound(const QByteArray& cue) {
        if (cue.size() < CueFormat::bytesPerFrame) {
            return;
        }
        pickUp(false);
        if (device) {
            if (device->play(cue)) {
                return;
            }
            silent = true;
            std::fputs("rolvanger: sound lost, the audio device went away\n", stderr);
            reopen(std::exchange(device, std::nullopt));
            return;
        }
        const Clock::time_point heardOut = Clock::now() + cueLength(cue);
        if (sdl().loaded && !opening.valid() && Clock::now() - lastTry >= retryEvery) {
            reopen(std::nullopt);
        }
        std::this_thread::sleep_until(heardOut);
    }
};

SdlCuePlayer::SdlCuePlayer() : d_(std::make_unique<Impl>()) {
    // The desktop's mixer shows the game's icon beside its volume, and may
    // treat a game's sound as such (SDL names the role for PipeWire only).
    // PulseAudio, and PipeWire's stand-in for it, take these properties
    // from the environment as they connect.
    for (const auto& [name, value] : {std::pair{"PULSE_PROP_application.icon_name", "rolvanger"},
                                      std::pair{"PULSE_PROP_media.role", "game"}}) {
        if (!qEnvironmentVariableIsSet(name)) {
            qputenv(name, value);
        }
    }
    AudioDevice::askSoundServerLatency();
}

SdlCuePlayer::~SdlCuePlayer() {
    if (d_->opening.valid()) {
        d_->pickUp(true);
    }
    if (d_->device) {
        d_->device->close();
    }
}

void SdlCuePlayer::play(const QByteArray& path) {
    d_->sound(cueFor(path));
}

const QByteArray& SdlCuePlayer::cueFor(const QByteArray& path) {
    d_->waitForFirstOpening(); // SDL is not used here before it is loaded
    if (auto known = d_->cues.constFind(path); known != d_->cues.constEnd()) {
        return known.value();
    }
    if (std::optional<QByteArray> loaded = readCueFile(path)) {
        return d_->cues.insert(path, std::move(*loaded)).value();
    }
    return d_->chime;
}

} // namespace rt
