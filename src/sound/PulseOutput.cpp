#include "sound/PulseOutput.h"

#include "sound/Cues.h"
#include "sound/PulseLibrary.h"

#include <algorithm>
#include <thread>

namespace sound {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

} // namespace

std::unique_ptr<PulseOutput> PulseOutput::open(std::string& why) {
    const PulseLibrary& pa = pulse();
    if (!pa.loaded) {
        why = "libpulse could not be loaded";
        return nullptr;
    }
    std::unique_ptr<PulseOutput> output(new PulseOutput);
    output->loop_ = pa.mainloop_new();
    // The mixer lists the game's sound by these names; its icon and its
    // role come from the environment (see SystemCuePlayer.cpp).
    output->context_ = pa.context_new(pa.mainloop_get_api(output->loop_), "Brim's Rolvanger");
    const Clock::time_point deadline = Clock::now() + 2s;
    if (pa.context_connect(output->context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
        !output->turnUntil(
            [&] { return pa.context_get_state(output->context_) == PA_CONTEXT_READY; }, deadline)) {
        why = pa.strerror(pa.context_errno(output->context_));
        return nullptr;
    }
    if (!output->connectStream(deadline)) {
        why = pa.strerror(pa.context_errno(output->context_));
        return nullptr;
    }
    return output;
}

bool PulseOutput::connectStream(Clock::time_point deadline) {
    const PulseLibrary& pa = pulse();
    const pa_sample_spec spec{PA_SAMPLE_S16NE, cueRate, 1};
    stream_ = pa.stream_new(context_, "Sound effects", &spec, nullptr);
    pa_buffer_attr ask{};
    ask.maxlength = static_cast<std::uint32_t>(-1);
    ask.tlength = static_cast<std::uint32_t>(bytes(askedLatency));
    // A cue plays as soon as any of it is there.
    ask.prebuf = cueBytesPerFrame;
    ask.minreq = static_cast<std::uint32_t>(-1);
    ask.fragsize = static_cast<std::uint32_t>(-1);
    if (stream_ == nullptr ||
        pa.stream_connect_playback(stream_, nullptr, &ask, PA_STREAM_ADJUST_LATENCY, nullptr,
                                   nullptr) < 0 ||
        !turnUntil([&] { return pa.stream_get_state(stream_) == PA_STREAM_READY; }, deadline)) {
        return false;
    }
    if (const pa_buffer_attr* granted = pa.stream_get_buffer_attr(stream_)) {
        piece_ = std::max<std::int64_t>(cueBytesPerFrame, granted->minreq);
        piece_ -= piece_ % cueBytesPerFrame;
    }
    // The stream is handed over once it has started (see started_) and
    // played this silence out, so that no cue waits for that.
    return playUntil(QByteArray(bytes(askedLatency), 0), deadline + 1s, 0);
}

PulseOutput::~PulseOutput() {
    const PulseLibrary& pa = pulse();
    if (stream_ != nullptr) {
        pa.stream_disconnect(stream_);
        pa.stream_unref(stream_);
    }
    if (context_ != nullptr) {
        pa.context_disconnect(context_);
        pa.context_unref(context_);
    }
    if (loop_ != nullptr) {
        pa.mainloop_free(loop_);
    }
}

bool PulseOutput::connected() const {
    const PulseLibrary& pa = pulse();
    return PA_CONTEXT_IS_GOOD(pa.context_get_state(context_)) &&
           (stream_ == nullptr || PA_STREAM_IS_GOOD(pa.stream_get_state(stream_)));
}

template <typename Ready> bool PulseOutput::turnUntil(Ready ready, Clock::time_point deadline) {
    const PulseLibrary& pa = pulse();
    for (;;) {
        while (pa.mainloop_iterate(loop_, 0, nullptr) > 0) {
        }
        if (ready()) {
            return true;
        }
        if (!connected() || Clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(100us);
    }
}

const pa_timing_info* PulseOutput::timing(Clock::time_point deadline) {
    const PulseLibrary& pa = pulse();
    pa_operation* asked = pa.stream_update_timing_info(stream_, nullptr, nullptr);
    if (asked == nullptr) {
        return nullptr;
    }
    const bool answered =
        turnUntil([&] { return pa.operation_get_state(asked) != PA_OPERATION_RUNNING; }, deadline);
    pa.operation_unref(asked);
    return answered ? pa.stream_get_timing_info(stream_) : nullptr;
}

} // namespace sound
