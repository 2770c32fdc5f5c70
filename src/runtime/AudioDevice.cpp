#include "runtime/AudioDevice.h"

#include "runtime/CueFile.h"
#include "runtime/SdlLibrary.h"

#include <QtGlobal>
#include <algorithm>
#include <cstring>
#include <thread>
#include <vector>

namespace rt {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Small, so that the end of a cue is heard a few milliseconds after the last
// of it leaves the queue.
constexpr Uint16 bufferFrames = 256;

// PulseAudio, and PipeWire standing in for it, keep a stream only as far
// ahead as SDL's buffer (6 ms) unless asked otherwise: the server then asks
// for more every 1.5 ms, and any longer stall of SDL's sound thread leaves a
// gap in the cue, which then ends that much later. Recorded from a null
// sink, a third of the 300 ms cues had a gap and their end was heard 14 to
// 20 ms late at p95; with 20 ms ahead, one in fifteen had a gap and the end
// was no more than 2 ms late at p95. The price: of a cue that finds the
// stream run dry, the null sink drops the start up to its own part of the
// latency (seen: 3 ms, was under 1 ms). The variable is PulseAudio's own,
// read as a stream connects.
constexpr const char* latencyVariable = "PULSE_LATENCY_MSEC";
constexpr int soundServerLatencyMs = 20;

Clock::duration framesToTime(long long frames) {
    return std::chrono::duration_cast<Clock::duration>(
        std::chrono::microseconds(frames * 1'000'000LL / CueFormat::rate));
}

// A sound server's new stream may take a while to start playing, however
// soon data comes (PulseAudio's null sink: up to two seconds). The device is
// handed over once it plays, so that no cue waits for that: silence for what
// is kept ahead and one buffer more has left the queue only once some of it
// has been played.
void startPlaying(SDL_AudioDeviceID id, Clock::duration ahead) {
    const auto frames = std::chrono::duration_cast<std::chrono::microseconds>(ahead).count() *
                        CueFormat::rate / 1'000'000;
    const std::vector<char> silence(static_cast<std::size_t>(frames) * CueFormat::bytesPerFrame, 0);
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

// What the opened device keeps ahead: its buffer, or the sound server's
// latency (as asked for; whoever set more than a second gets a second).
Clock::duration tailTime(Clock::duration bufferTime) {
    const char* driver = sdl().GetCurrentAudioDriver();
    bool ok = false;
    const int serverMs = qEnvironmentVariableIntValue(latencyVariable, &ok);
    if (driver == nullptr || std::strcmp(driver, "pulseaudio") != 0 || !ok || serverMs <= 0) {
        return bufferTime;
    }
    const Clock::duration server = std::chrono::milliseconds(std::min(serverMs, 1000));
    return std::max(bufferTime, server);
}

} // namespace

void AudioDevice::askSoundServerLatency() {
    if (!qEnvironmentVariableIsSet(latencyVariable)) {
        qputenv(latencyVariable, QByteArray::number(soundServerLatencyMs));
    }
}

Clock::duration cueLength(const QByteArray& cue) {
    return framesToTime(cue.size() / CueFormat::bytesPerFrame);
}

AudioDevice::AudioDevice(SDL_AudioDeviceID id, Clock::duration bufferTime)
    : id_(id), bufferTime_(bufferTime), tail_(tailTime(bufferTime)) {}

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
    AudioDevice device(id, framesToTime(obtained.samples));
    startPlaying(id, device.tail_ + device.bufferTime_);
    return device;
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
    const Clock::duration length = cueLength(cue);
    const Clock::time_point heardOut = start + length;
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
    // Rests at once if the cue alone filled what is kept ahead, so it surely
    // plays: run dry, SDL's thread would go on sending silence, and the next
    // cue would be heard only after it (through a sound server, the 300 ms
    // cue's p95 went from 9-11 ms beyond its length to 6-8 ms). A shorter cue
    // gets one buffer of silence after it: a server starts a stream that ran
    // dry only once it holds enough (PulseAudio: half its latency), so a
    // click sent alone could wait for the next cue.
    const Clock::time_point drained = Clock::now();
    if (length < tail_) {
        std::this_thread::sleep_until(drained + bufferTime_);
    }
    rest();
    sdl().PauseAudioDevice(id_, 1);
    // The last of the cue is heard once what is kept ahead of it has played,
    // which is never more than the cue. The dummy driver swallows data
    // faster than it could be heard, so the cue's own length is the least it
    // may take.
    std::this_thread::sleep_until(std::max(drained + std::min(tail_, length), heardOut));
    return true;
}

} // namespace rt
