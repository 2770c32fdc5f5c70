#include "runtime/SdlCuePlayer.h"

#include "runtime/DefaultChime.h"

#include <QHash>
#include <SDL.h>
#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#if __has_include(<dlfcn.h>)
#include <dlfcn.h>
#endif

namespace rt {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr SDL_AudioFormat deviceFormat = AUDIO_S16SYS;
constexpr Uint8 deviceChannels = 1;
constexpr int bytesPerFrame = 2;
// Small, so that the end of a cue is heard a few milliseconds after the last
// of it leaves the queue.
constexpr Uint16 bufferFrames = 256;

Clock::duration framesToTime(qsizetype frames) {
    return std::chrono::duration_cast<Clock::duration>(std::chrono::microseconds(
        static_cast<long long>(frames) * 1'000'000LL / SdlCuePlayer::sampleRate));
}

// Converts the whole cue at once: SDL's streaming converter would keep back
// the last few milliseconds of a resampled cue.
std::optional<QByteArray> toDeviceFormat(const SDL_AudioSpec& spec, const Uint8* data,
                                         Uint32 length) {
    SDL_AudioCVT cvt{};
    const int needed = SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, deviceFormat,
                                         deviceChannels, SdlCuePlayer::sampleRate);
    if (needed < 0 || length > static_cast<Uint32>(INT_MAX / cvt.len_mult)) {
        return std::nullopt;
    }
    if (needed == 0 || length == 0) {
        return QByteArray(reinterpret_cast<const char*>(data),
                          static_cast<qsizetype>(length - length % bytesPerFrame));
    }
    std::vector<Uint8> work(static_cast<std::size_t>(length) *
                            static_cast<std::size_t>(cvt.len_mult));
    std::copy_n(data, length, work.begin());
    cvt.buf = work.data();
    cvt.len = static_cast<int>(length);
    if (SDL_ConvertAudio(&cvt) != 0) {
        return std::nullopt;
    }
    return QByteArray(reinterpret_cast<const char*>(work.data()),
                      static_cast<qsizetype>(cvt.len_cvt - cvt.len_cvt % bytesPerFrame));
}

// Nothing when the path can't be played as a cue. Only plain files are tried:
// a folder or a pipe must not reach the WAV reader, which could block on it.
std::optional<QByteArray> loadCue(const QByteArray& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(std::filesystem::path(path.toStdString()), error)) {
        return std::nullopt;
    }
    SDL_AudioSpec spec{};
    Uint8* data = nullptr;
    Uint32 length = 0;
    if (SDL_LoadWAV(path.constData(), &spec, &data, &length) == nullptr) {
        return std::nullopt;
    }
    std::optional<QByteArray> cue = toDeviceFormat(spec, data, length);
    SDL_FreeWAV(data);
    return cue;
}

// alsa-lib prints its own complaints on stderr when there is no sound card,
// several lines of them. SDL passes the failure on and it is reported once, so
// ALSA's printer is muted while the player lives. SDL opens the same library.
class QuietAlsa {
public:
    QuietAlsa() { setHandler(&ignore); }
    ~QuietAlsa() {
        setHandler(nullptr);
#if __has_include(<dlfcn.h>)
        if (library_ != nullptr) {
            dlclose(library_);
        }
#endif
    }
    QuietAlsa(const QuietAlsa&) = delete;
    QuietAlsa& operator=(const QuietAlsa&) = delete;

private:
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    static void ignore(const char*, int, const char*, int, const char*, ...) {}

    void setHandler([[maybe_unused]] Handler handler) {
#if __has_include(<dlfcn.h>)
        if (library_ == nullptr) {
            return;
        }
        using SetHandler = int (*)(Handler);
        if (auto set = reinterpret_cast<SetHandler>(dlsym(library_, "snd_lib_error_set_handler"))) {
            set(handler);
        }
#endif
    }

#if __has_include(<dlfcn.h>)
    void* library_ = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
#else
    void* library_ = nullptr;
#endif
};

QByteArray chimeBytes() {
    const std::vector<std::int16_t> samples = defaultChime(SdlCuePlayer::sampleRate);
    return QByteArray(reinterpret_cast<const char*>(samples.data()),
                      static_cast<qsizetype>(samples.size() * sizeof(std::int16_t)));
}

} // namespace

struct SdlCuePlayer::Impl {
    QuietAlsa quietAlsa; // first in, last out: it outlives the device
    SDL_AudioDeviceID device = 0;
    Clock::duration bufferTime = framesToTime(bufferFrames);
    // Only cues that loaded are kept, so a file that turns up later is heard.
    QHash<QByteArray, QByteArray> cues;
    QByteArray chime = chimeBytes();

    bool open(std::string& why) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            why = SDL_GetError();
            return false;
        }
        SDL_AudioSpec wanted{};
        wanted.freq = SdlCuePlayer::sampleRate;
        wanted.format = deviceFormat;
        wanted.channels = deviceChannels;
        wanted.samples = bufferFrames;
        SDL_AudioSpec obtained{};
        device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
        if (device == 0) {
            why = SDL_GetError();
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return false;
        }
        bufferTime = framesToTime(obtained.samples);
        SDL_PauseAudioDevice(device, 0);
        return true;
    }

    void sound(const QByteArray& bytes) {
        const qsizetype frames = bytes.size() / bytesPerFrame;
        if (frames == 0) {
            return;
        }
        const Clock::time_point start = Clock::now();
        const Clock::time_point heardOut = start + framesToTime(frames);
        if (device == 0 ||
            SDL_QueueAudio(device, bytes.constData(), static_cast<Uint32>(bytes.size())) != 0) {
            std::this_thread::sleep_until(heardOut);
            return;
        }
        SDL_PauseAudioDevice(device, 0);
        // A device that has stopped taking data must not hang the game.
        const Clock::time_point giveUp = heardOut + (heardOut - start) + 1s;
        while (SDL_GetQueuedAudioSize(device) > 0) {
            if (Clock::now() >= giveUp) {
                SDL_ClearQueuedAudio(device);
                break;
            }
            std::this_thread::sleep_for(1ms);
        }
        // The tail is now in the device buffer and is heard once that plays
        // out. The dummy driver swallows data faster than it could be heard,
        // so the cue's own length is the least it may take.
        std::this_thread::sleep_until(std::max(Clock::now() + bufferTime, heardOut));
    }
};

SdlCuePlayer::SdlCuePlayer() : d_(std::make_unique<Impl>()) {
    // SDL would otherwise take over SIGINT and SIGTERM and the program could
    // not be stopped from a terminal.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    std::string why;
    if (d_->open(why)) {
        return;
    }
    std::replace(why.begin(), why.end(), '\n', ' ');
    std::fprintf(stderr, "rolvanger: sound is silent, no audio device could be opened (%s)\n",
                 why.c_str());
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    d_->open(why);
    SDL_ResetHint(SDL_HINT_AUDIODRIVER);
}

SdlCuePlayer::~SdlCuePlayer() {
    if (d_->device != 0) {
        SDL_CloseAudioDevice(d_->device);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

void SdlCuePlayer::play(const QByteArray& path) {
    const QByteArray* cue = nullptr;
    if (auto known = d_->cues.constFind(path); known != d_->cues.constEnd()) {
        cue = &known.value();
    } else if (std::optional<QByteArray> loaded = loadCue(path)) {
        cue = &d_->cues.insert(path, std::move(*loaded)).value();
    } else {
        cue = &d_->chime;
    }
    d_->sound(*cue);
}

} // namespace rt
