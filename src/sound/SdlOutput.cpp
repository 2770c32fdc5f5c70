#include "sound/SdlOutput.h"

#include "sound/Cues.h"
#include "sound/SdlLibrary.h"

#include <thread>

namespace sound {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Small, so that the end of a cue is heard a few milliseconds after the last
// of it leaves the queue.
constexpr Uint16 bufferFrames = 256;

Clock::duration framesToTime(long long frames) {
    return std::chrono::duration_cast<Clock::duration>(
        std::chrono::microseconds(frames * 1'000'000LL / cueRate));
}

} // namespace

SdlOutput::SdlOutput(SDL_AudioDeviceID id, Clock::duration bufferTime)
    : id_(id), bufferTime_(bufferTime) {}

std::unique_ptr<SdlOutput> SdlOutput::open(std::string& why) {
    std::unique_ptr<SdlOutput> output;
    onSdlThread([&] {
        if (sdl().InitSubSystem(SDL_INIT_AUDIO) != 0) {
            why = sdl().GetError();
            return;
        }
        SDL_AudioSpec wanted{};
        wanted.freq = cueRate;
        wanted.format = AUDIO_S16SYS;
        wanted.channels = 1;
        wanted.samples = bufferFrames;
        SDL_AudioSpec obtained{};
        const SDL_AudioDeviceID id = sdl().OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
        if (id == 0) {
            why = sdl().GetError();
            sdl().QuitSubSystem(SDL_INIT_AUDIO);
            return;
        }
        output.reset(new SdlOutput(id, framesToTime(obtained.samples)));
    });
    if (output) {
        // A sound server's new stream may take a while to start playing,
        // however soon data comes (PulseAudio's null sink: up to two
        // seconds). The device is handed over once some silence has played,
        // so that no cue waits for that.
        const QByteArray silence(2 * bufferFrames * cueBytesPerFrame, 0);
        if (sdl().QueueAudio(output->id_, silence.constData(),
                             static_cast<Uint32>(silence.size())) == 0) {
            sdl().PauseAudioDevice(output->id_, 0);
            const Clock::time_point giveUp = Clock::now() + 3s;
            while (sdl().GetQueuedAudioSize(output->id_) > 0 &&
                   sdl().GetAudioDeviceStatus(output->id_) != SDL_AUDIO_STOPPED &&
                   Clock::now() < giveUp) {
                std::this_thread::sleep_for(1ms);
            }
            sdl().PauseAudioDevice(output->id_, 1);
            sdl().ClearQueuedAudio(output->id_);
        }
    }
    return output;
}

void SdlOutput::rest() {
    if (!resting_) {
        sdl().LockAudioDevice(id_);
        resting_ = true;
    }
}

void SdlOutput::wake() {
    if (resting_) {
        sdl().UnlockAudioDevice(id_);
        resting_ = false;
    }
}

SdlOutput::~SdlOutput() {
    onSdlThread([this] {
        sdl().CloseAudioDevice(id_);
        // The whole subsystem goes with the device: a sound server's
        // connection is made when it starts, and one that was lost is made
        // again only so.
        sdl().QuitSubSystem(SDL_INIT_AUDIO);
    });
}

bool SdlOutput::play(const QByteArray& cue) {
    const Clock::time_point start = Clock::now();
    const Clock::time_point heardOut = start + cueLength(cue);
    rest();
    if (sdl().QueueAudio(id_, cue.constData(), static_cast<Uint32>(cue.size())) != 0) {
        std::this_thread::sleep_until(heardOut);
        return true;
    }
    sdl().PauseAudioDevice(id_, 0);
    // Queued first, so that the audio thread wakes to the cue itself.
    wake();
    // A lost device is seen as stopped, or as a queue that no longer drains:
    // a device that takes data slower than the clock still drains, and a
    // sound server's stream was started before the device was handed over.
    // Either way the cue is over within its length and a second.
    constexpr Clock::duration stalled = 1s;
    const Clock::time_point giveUp = heardOut + 1s;
    Uint32 queued = sdl().GetQueuedAudioSize(id_);
    Clock::time_point moved = start;
    bool lost = false;
    while (queued > 0) {
        const Clock::time_point now = Clock::now();
        lost = sdl().GetAudioDeviceStatus(id_) == SDL_AUDIO_STOPPED || now - moved > stalled;
        if (lost || now >= giveUp) {
            sdl().ClearQueuedAudio(id_);
            break;
        }
        std::this_thread::sleep_for(1ms);
        const Uint32 left = sdl().GetQueuedAudioSize(id_);
        if (left < queued) {
            moved = Clock::now();
        }
        queued = left;
    }
    if (lost) {
        std::this_thread::sleep_until(heardOut);
        return false;
    }
    // What left the queue last is still on its way to the speaker: in SDL's
    // buffer, and in a converter behind it where the driver wants another
    // format or buffer size (the disk driver does). The device plays on
    // for a buffer of silence, which pushes it out, and rests only then; a
    // device rested sooner would keep the end of one cue for the next.
    std::this_thread::sleep_until(std::max(Clock::now() + bufferTime_, heardOut));
    rest();
    sdl().PauseAudioDevice(id_, 1);
    return true;
}

} // namespace sound
