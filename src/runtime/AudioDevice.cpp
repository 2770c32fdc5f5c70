#include "runtime/AudioDevice.h"

#include "runtime/CueFile.h"
#include "runtime/SdlLibrary.h"

#include <algorithm>
#include <thread>
#include <vector>

namespace rt {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Small, so that the end of a cue is heard a few milliseconds after the last
// of it leaves the queue.
constexpr Uint16 bufferFrames = 256;

Clock::duration framesToTime(long long frames) {
    return std::chrono::duration_cast<Clock::duration>(
        std::chrono::microseconds(frames * 1'000'000LL / CueFormat::rate));
}

// A sound server's new stream may take a while to start playing, however
// soon data comes (PulseAudio's null sink: up to two seconds). The device is
// handed over once it plays, so that no cue waits for that: two buffers of
// silence have left the queue only when the first has been played.
void startPlaying(SDL_AudioDeviceID id, Uint16 frames) {
    const std::vector<char> silence(std::size_t{2} * frames * CueFormat::bytesPerFrame, 0);
    if (sdl().QueueAudio(id, silence.data(), static_cast<Uint32>(silence.size())) != 0) {
        return;
    }
    sdl().PauseAudioDevice(id, 0);
    const Clock::time_point giveUp = Clock::now() + 3s;
    while (sdl().GetQueuedAudioSize(id) > 0 &&
           sdl().GetAudioDeviceStatus(id) != SDL_AUDIO_STOPPED && Clock::now() < giveUp) {
        std::this_thread::sleep_for(1ms);
    }
    sdl().PauseAudioDevice(id, 1);
    sdl().ClearQueuedAudio(id);
}

} // namespace

Clock::duration cueLength(const QByteArray& cue) {
    return framesToTime(cue.size() / CueFormat::bytesPerFrame);
}

AudioDevice::AudioDevice(SDL_AudioDeviceID id, Clock::duration bufferTime)
    : id_(id), bufferTime_(bufferTime) {}

std::optional<AudioDevice> AudioDevice::open(std::string& why) {
    if (sdl().InitSubSystem(SDL_INIT_AUDIO) != 0) {
        why = sdl().GetError();
        return std::nullopt;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = CueFormat::rate;
    wanted.format = CueFormat::format;
    wanted.channels = CueFormat::channels;
    wanted.samples = bufferFrames;
    SDL_AudioSpec obtained{};
    const SDL_AudioDeviceID id = sdl().OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (id == 0) {
        why = sdl().GetError();
        sdl().QuitSubSystem(SDL_INIT_AUDIO);
        return std::nullopt;
    }
    startPlaying(id, obtained.samples);
    return AudioDevice(id, framesToTime(obtained.samples));
}

void AudioDevice::close() {
    if (resting_) {
        sdl().UnlockAudioDevice(id_); // its thread must run to its end
    }
    sdl().CloseAudioDevice(id_);
    // The whole subsystem goes with the device: a sound server's connection
    // is made when it starts, and one that was lost is made again only so.
    sdl().QuitSubSystem(SDL_INIT_AUDIO);
}

void AudioDevice::rest() {
    if (!resting_) {
        sdl().LockAudioDevice(id_);
        resting_ = true;
    }
}

bool AudioDevice::play(const QByteArray& cue) {
    const Clock::time_point start = Clock::now();
    const Clock::time_point heardOut = start + cueLength(cue);
    rest();
    if (sdl().QueueAudio(id_, cue.constData(), static_cast<Uint32>(cue.size())) != 0) {
        std::this_thread::sleep_until(heardOut);
        return true;
    }
    sdl().PauseAudioDevice(id_, 0);
    // Queued first, so that the audio thread wakes to the cue itself.
    sdl().UnlockAudioDevice(id_);
    resting_ = false;
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
    // The tail is now in the device buffer and is heard once that plays
    // out. The dummy driver swallows data faster than it could be heard,
    // so the cue's own length is the least it may take.
    std::this_thread::sleep_until(std::max(Clock::now() + bufferTime_, heardOut));
    rest();
    sdl().PauseAudioDevice(id_, 1);
    return true;
}

} // namespace rt
