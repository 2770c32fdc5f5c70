#include "runtime/SdlCuePlayer.h"

#include "runtime/DefaultChime.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHash>
#include <QLibrary>
#include <QObject>
#include <SDL.h>
#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <future>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
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

// SDL is loaded when sound is first wanted, not with the program: linked in,
// its library and the thirty it brings along (sound servers, codecs, Wayland)
// would be loaded before the window could start. These are the calls the
// player makes; without all of them SDL counts as missing, and cues are silent
// but keep their length.
struct Sdl {
    bool loaded = false;
    decltype(&SDL_SetHint) SetHint = nullptr;
    decltype(&SDL_SetHintWithPriority) SetHintWithPriority = nullptr;
    decltype(&SDL_ResetHint) ResetHint = nullptr;
    decltype(&SDL_GetError) GetError = nullptr;
    decltype(&SDL_InitSubSystem) InitSubSystem = nullptr;
    decltype(&SDL_QuitSubSystem) QuitSubSystem = nullptr;
    decltype(&SDL_OpenAudioDevice) OpenAudioDevice = nullptr;
    decltype(&SDL_CloseAudioDevice) CloseAudioDevice = nullptr;
    decltype(&SDL_PauseAudioDevice) PauseAudioDevice = nullptr;
    decltype(&SDL_LockAudioDevice) LockAudioDevice = nullptr;
    decltype(&SDL_UnlockAudioDevice) UnlockAudioDevice = nullptr;
    decltype(&SDL_QueueAudio) QueueAudio = nullptr;
    decltype(&SDL_GetQueuedAudioSize) GetQueuedAudioSize = nullptr;
    decltype(&SDL_ClearQueuedAudio) ClearQueuedAudio = nullptr;
    decltype(&SDL_RWFromFile) RWFromFile = nullptr;
    decltype(&SDL_LoadWAV_RW) LoadWAV_RW = nullptr;
    decltype(&SDL_FreeWAV) FreeWAV = nullptr;
    decltype(&SDL_BuildAudioCVT) BuildAudioCVT = nullptr;
    decltype(&SDL_ConvertAudio) ConvertAudio = nullptr;
    decltype(&SDL_CreateThread) CreateThread = nullptr;
    decltype(&SDL_WaitThread) WaitThread = nullptr;
};

template <typename Function> bool resolve(QLibrary& library, Function& function, const char* name) {
    function = reinterpret_cast<Function>(library.resolve(name));
    return function != nullptr;
}

Sdl loadSdl() {
    Sdl sdl;
    QLibrary library(QStringLiteral("SDL2-2.0"), 0); // stays loaded once loaded
    sdl.loaded = library.load() && resolve(library, sdl.SetHint, "SDL_SetHint") &&
                 resolve(library, sdl.SetHintWithPriority, "SDL_SetHintWithPriority") &&
                 resolve(library, sdl.ResetHint, "SDL_ResetHint") &&
                 resolve(library, sdl.GetError, "SDL_GetError") &&
                 resolve(library, sdl.InitSubSystem, "SDL_InitSubSystem") &&
                 resolve(library, sdl.QuitSubSystem, "SDL_QuitSubSystem") &&
                 resolve(library, sdl.OpenAudioDevice, "SDL_OpenAudioDevice") &&
                 resolve(library, sdl.CloseAudioDevice, "SDL_CloseAudioDevice") &&
                 resolve(library, sdl.PauseAudioDevice, "SDL_PauseAudioDevice") &&
                 resolve(library, sdl.LockAudioDevice, "SDL_LockAudioDevice") &&
                 resolve(library, sdl.UnlockAudioDevice, "SDL_UnlockAudioDevice") &&
                 resolve(library, sdl.QueueAudio, "SDL_QueueAudio") &&
                 resolve(library, sdl.GetQueuedAudioSize, "SDL_GetQueuedAudioSize") &&
                 resolve(library, sdl.ClearQueuedAudio, "SDL_ClearQueuedAudio") &&
                 resolve(library, sdl.RWFromFile, "SDL_RWFromFile") &&
                 resolve(library, sdl.LoadWAV_RW, "SDL_LoadWAV_RW") &&
                 resolve(library, sdl.FreeWAV, "SDL_FreeWAV") &&
                 resolve(library, sdl.BuildAudioCVT, "SDL_BuildAudioCVT") &&
                 resolve(library, sdl.ConvertAudio, "SDL_ConvertAudio") &&
                 resolve(library, sdl.CreateThread, "SDL_CreateThread") &&
                 resolve(library, sdl.WaitThread, "SDL_WaitThread");
    return sdl;
}

// Loaded by whichever thread first wants sound.
const Sdl& sdl() {
    static const Sdl library = loadSdl();
    return library;
}

// Converts the whole cue at once: SDL's streaming converter would keep back
// the last few milliseconds of a resampled cue.
std::optional<QByteArray> toDeviceFormat(const SDL_AudioSpec& spec, const Uint8* data,
                                         Uint32 length) {
    SDL_AudioCVT cvt{};
    const int needed = sdl().BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq,
                                           deviceFormat, deviceChannels, SdlCuePlayer::sampleRate);
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
    if (sdl().ConvertAudio(&cvt) != 0) {
        return std::nullopt;
    }
    return QByteArray(reinterpret_cast<const char*>(work.data()),
                      static_cast<qsizetype>(cvt.len_cvt - cvt.len_cvt % bytesPerFrame));
}

// Nothing when the path can't be played as a cue. Only plain files are tried:
// a folder or a pipe must not reach the WAV reader, which could block on it.
std::optional<QByteArray> loadCue(const QByteArray& path) {
    if (!sdl().loaded) {
        return std::nullopt;
    }
    std::error_code error;
    if (!std::filesystem::is_regular_file(std::filesystem::path(path.toStdString()), error)) {
        return std::nullopt;
    }
    SDL_AudioSpec spec{};
    Uint8* data = nullptr;
    Uint32 length = 0;
    if (sdl().LoadWAV_RW(sdl().RWFromFile(path.constData(), "rb"), 1, &spec, &data, &length) ==
        nullptr) {
        return std::nullopt;
    }
    // SDL takes any rate from 1 Hz up. A header that claims a few hertz is
    // corrupt, and would turn a 4 KB file into an hour-long cue that holds up
    // the whole game.
    constexpr int slowestRate = 1000;
    if (spec.freq < slowestRate) {
        sdl().FreeWAV(data);
        return std::nullopt;
    }
    std::optional<QByteArray> cue = toDeviceFormat(spec, data, length);
    sdl().FreeWAV(data);
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

// Calls back once, after the program's first window has been exposed and so
// painted: the window paints while its expose event is handled, and the call
// is queued behind that.
class AfterFirstPaint final : public QObject {
public:
    explicit AfterFirstPaint(std::function<void()> then) : then_(std::move(then)) {
        if (QCoreApplication* application = QCoreApplication::instance()) {
            application->installEventFilter(this);
        }
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && watched->isWindowType() && then_) {
            QCoreApplication::instance()->removeEventFilter(this);
            QMetaObject::invokeMethod(this, std::exchange(then_, nullptr), Qt::QueuedConnection);
        }
        return false;
    }

private:
    std::function<void()> then_;
};

QByteArray chimeBytes() {
    const std::vector<std::int16_t> samples = defaultChime(SdlCuePlayer::sampleRate);
    return QByteArray(reinterpret_cast<const char*>(samples.data()),
                      static_cast<qsizetype>(samples.size() * sizeof(std::int16_t)));
}

} // namespace

struct SdlCuePlayer::Impl {
    std::optional<QuietAlsa> quietAlsa; // first in, last out: it outlives the device
    SDL_AudioDeviceID device = 0;
    Clock::duration bufferTime = framesToTime(bufferFrames);
    // Only cues that loaded are kept, so a file that turns up later is heard.
    QHash<QByteArray, QByteArray> cues;
    QByteArray chime; // made with the device, not while the program starts
    // Finding a device can take a tenth of a second and more (sound servers
    // and cards are probed, and without any SDL waits for its ALSA hot-plug
    // thread before the dummy driver can take over), so it is opened beside
    // the program, and not while the program starts: once its first window
    // is painted, or for the first cue if that comes sooner. A cue waits for
    // it.
    std::future<void> opening;
    // Between cues the device rests paused, and the thread that plays holds
    // its lock: paused, SDL's audio thread would still wake every buffer to
    // play silence; locked out, it sleeps.
    bool held = false;
    // Lives in the thread that made the player: starts the opening once the
    // first window is painted, and has that thread take the lock as soon as
    // the device is open. Last, so that it goes first, and a request still
    // pending goes with it.
    AfterFirstPaint owner{[this] { startOpening(); }};

    void startOpening() {
        if (opening.valid()) {
            return;
        }
        opening = std::async(std::launch::async, [this] {
            chime = chimeBytes();
            quietAlsa.emplace();
            // SDL keeps some state for each thread that calls it, and frees it
            // only for threads of its own making: the device is opened on one.
            SDL_Thread* opener =
                sdl().loaded ? sdl().CreateThread(&openOn, "rolvanger sound", this) : nullptr;
            if (opener != nullptr) {
                sdl().WaitThread(opener, nullptr);
            } else {
                openAny();
            }
            QMetaObject::invokeMethod(
                &owner, [this] { hold(); }, Qt::QueuedConnection);
        });
    }

    static int SDLCALL openOn(void* impl) {
        static_cast<Impl*>(impl)->openAny();
        return 0;
    }

    void openAny() {
        if (!sdl().loaded) {
            std::fprintf(stderr, "rolvanger: sound is silent, SDL 2 could not be loaded\n");
            return;
        }
        // SDL would otherwise take over SIGINT and SIGTERM and the program
        // could not be stopped from a terminal.
        sdl().SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        std::string why;
        if (open(why)) {
            return;
        }
        std::replace(why.begin(), why.end(), '\n', ' ');
        std::fprintf(stderr, "rolvanger: sound is silent, no audio device could be opened (%s)\n",
                     why.c_str());
        sdl().SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
        open(why);
        sdl().ResetHint(SDL_HINT_AUDIODRIVER);
    }

    void hold() {
        if (held) {
            return;
        }
        startOpening();
        opening.wait();
        if (device != 0) {
            sdl().LockAudioDevice(device);
        }
        held = true;
    }

    bool open(std::string& why) {
        if (sdl().InitSubSystem(SDL_INIT_AUDIO) != 0) {
            why = sdl().GetError();
            return false;
        }
        SDL_AudioSpec wanted{};
        wanted.freq = SdlCuePlayer::sampleRate;
        wanted.format = deviceFormat;
        wanted.channels = deviceChannels;
        wanted.samples = bufferFrames;
        SDL_AudioSpec obtained{};
        device = sdl().OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
        if (device == 0) {
            why = sdl().GetError();
            sdl().QuitSubSystem(SDL_INIT_AUDIO);
            return false;
        }
        bufferTime = framesToTime(obtained.samples);
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
            sdl().QueueAudio(device, bytes.constData(), static_cast<Uint32>(bytes.size())) != 0) {
            std::this_thread::sleep_until(heardOut);
            return;
        }
        sdl().PauseAudioDevice(device, 0);
        // Queued first, so that the audio thread wakes to the cue itself.
        sdl().UnlockAudioDevice(device);
        // A device that has stopped taking data must not hang the game.
        const Clock::time_point giveUp = heardOut + (heardOut - start) + 1s;
        while (sdl().GetQueuedAudioSize(device) > 0) {
            if (Clock::now() >= giveUp) {
                sdl().ClearQueuedAudio(device);
                break;
            }
            std::this_thread::sleep_for(1ms);
        }
        // The tail is now in the device buffer and is heard once that plays
        // out. The dummy driver swallows data faster than it could be heard,
        // so the cue's own length is the least it may take.
        std::this_thread::sleep_until(std::max(Clock::now() + bufferTime, heardOut));
        sdl().LockAudioDevice(device);
        sdl().PauseAudioDevice(device, 1);
    }
};

SdlCuePlayer::SdlCuePlayer() : d_(std::make_unique<Impl>()) {}

SdlCuePlayer::~SdlCuePlayer() {
    if (d_->opening.valid()) {
        d_->opening.wait();
    }
    if (d_->device != 0) {
        if (d_->held) {
            sdl().UnlockAudioDevice(d_->device); // its thread must run to end
        }
        sdl().CloseAudioDevice(d_->device);
        sdl().QuitSubSystem(SDL_INIT_AUDIO);
    }
}

void SdlCuePlayer::play(const QByteArray& path) {
    d_->sound(cueFor(path));
}

const QByteArray& SdlCuePlayer::cueFor(const QByteArray& path) {
    d_->hold(); // SDL is not used here before the device is open
    if (auto known = d_->cues.constFind(path); known != d_->cues.constEnd()) {
        return known.value();
    }
    if (std::optional<QByteArray> loaded = loadCue(path)) {
        return d_->cues.insert(path, std::move(*loaded)).value();
    }
    return d_->chime;
}

} // namespace rt
