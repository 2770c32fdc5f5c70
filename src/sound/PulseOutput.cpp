#include "sound/PulseOutput.h"

#include "sound/Cues.h"
#include "sound/PulseLibrary.h"

#include <algorithm>
#include <thread>

namespace sound {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// What the stream asks the server to keep ahead of the speaker. The server
// sets its own pace by the smallest of its streams' asks, and a cue is heard
// that much after it leaves the stream: PulseAudio's null sink keeps a whole
// second ahead when nobody asks. Granted as asked or not, the cue's end is
// judged from what the server reports.
constexpr auto askedLatency = 10ms;

// How often, at most, a playing cue asks the server where it is.
constexpr auto pollEvery = 1ms;

// How long a stream may stand still with a cue in it before it counts as
// stuck; a start takes a few milliseconds.
constexpr auto stuckAfter = 100ms;

// What a long cue keeps in the stream ahead of the speaker.
constexpr auto feedAhead = 1s;

constexpr std::int64_t bytes(std::chrono::milliseconds time) {
    return time.count() * cueRate / 1000 * cueBytesPerFrame;
}

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
    // A new stream may take a while to start playing, however soon data
    // comes (PulseAudio's null sink: up to two seconds, while the second it
    // kept ahead plays out). The stream is handed over once it plays, so that
    // no cue waits for that.
    return play(QByteArray(bytes(askedLatency), 0));
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

void PulseOutput::write(const QByteArray& cue, std::int64_t begins, std::int64_t ends) {
    const PulseLibrary& pa = pulse();
    const auto part = static_cast<std::size_t>(std::min(ends - written_, bytes(feedAhead)));
    if (part > 0 && pa.stream_write(stream_, cue.constData() + (written_ - begins), part, nullptr,
                                    0, PA_SEEK_RELATIVE) == 0) {
        written_ += static_cast<std::int64_t>(part);
    }
}

void PulseOutput::start() const {
    const PulseLibrary& pa = pulse();
    if (pa_operation* started = pa.stream_trigger(stream_, nullptr, nullptr)) {
        pa.operation_unref(started);
    }
}

bool PulseOutput::play(const QByteArray& cue) {
    const Clock::time_point now = Clock::now();
    const Clock::time_point heardOut = now + cueLength(cue);
    // A server that stops answering, or takes data slower than it plays,
    // counts as lost: the cue is over within its length and a second.
    const Clock::time_point giveUp = heardOut + 1s;
    // PipeWire takes a stream's sound a whole piece (its quantum, the
    // granted minreq) at a time, and plays silence rather than a part: the
    // last part of a cue would wait for the next cue, and one that still
    // fell short of a piece with it would never be heard (seen as a stream
    // standing still). So a cue goes in padded with silence to whole pieces.
    const std::int64_t pad = (piece_ - cue.size() % piece_) % piece_;
    const QByteArray padded = pad > 0 ? cue + QByteArray(static_cast<qsizetype>(pad), 0) : cue;
    const std::int64_t begins = written_;
    const std::int64_t ends = written_ + cue.size();
    const std::int64_t paddedEnd = written_ + padded.size();
    write(padded, begins, paddedEnd);
    start();
    // Where the server last was, and since when.
    std::int64_t lastRead = -1;
    Clock::time_point lastMoved = now;
    for (;;) {
        const pa_timing_info* at = timing(giveUp);
        if (at == nullptr) {
            break;
        }
        // Played out: the server has read past the cue, or read into it and
        // stopped for want of more. What it has read is heard after its
        // sink's latency.
        if (written_ == paddedEnd &&
            (at->read_index >= ends || (!at->playing && at->read_index > begins))) {
            std::this_thread::sleep_until(
                std::max(Clock::now() + std::chrono::microseconds(at->sink_usec), heardOut));
            return true;
        }
        if (Clock::now() >= giveUp) {
            break;
        }
        // A long cue goes in a part at a time, well before the stream runs
        // dry, so that it never holds more than that.
        if (written_ < paddedEnd && written_ - at->read_index < bytes(feedAhead) / 2) {
            write(padded, begins, paddedEnd);
        }
        // PipeWire has been seen to miss a start now and then.
        if (!at->playing) {
            start();
        }
        // A stream that stands still with a cue in it, as PipeWire's could
        // when its pieces changed size under it, counts as lost, and the
        // player makes a new one.
        if (at->read_index != lastRead || at->playing) {
            lastRead = at->read_index;
            lastMoved = Clock::now();
        } else if (Clock::now() - lastMoved > stuckAfter) {
            break;
        }
        // Asks again once about half of what is left has played.
        const auto left = std::chrono::microseconds(
            std::max<std::int64_t>(0, ends - std::max(at->read_index, begins)) * 1'000'000 /
            (cueRate * cueBytesPerFrame));
        std::this_thread::sleep_for(std::clamp<Clock::duration>(left / 2, pollEvery, 100ms));
    }
    std::this_thread::sleep_until(heardOut);
    return false;
}

} // namespace sound
