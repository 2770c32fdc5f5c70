#include "sound/PulseLibrary.h"
#include "sound/PulseOutput.h"

#include <algorithm>
#include <thread>

namespace sound {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// How often, at most, a playing cue asks the server where it is.
constexpr auto pollEvery = 1ms;

// How long a stream that has started may stand still with a cue in it
// before it counts as stuck; a start takes a few milliseconds.
constexpr auto stuckAfter = 100ms;

// What a long cue keeps in the stream ahead of the speaker.
constexpr auto feedAhead = 1s;

} // namespace

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
    // A server that stops answering, or takes data slower than it plays,
    // counts as lost: the cue is over within its length and a second.
    return playUntil(cue, Clock::now() + cueLength(cue) + 1s, bytes(askedLatency));
}

bool PulseOutput::playUntil(const QByteArray& cue, Clock::time_point giveUp,
                            std::int64_t keepAhead) {
    const Clock::time_point now = Clock::now();
    const Clock::time_point heardOut = now + cueLength(cue);
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
        started_ = started_ || at->playing || at->read_index > begins;
        // Played out: the cue has taken its length, and the server keeps
        // pace with it: it holds no more of the stream than it was asked to
        // keep ahead (or has read into the cue and stopped for want of
        // more). What it holds, and then its sink's latency, is heard after
        // the cue's length as the same delay for every cue, and the next
        // cue follows in the same stream. Waiting for the server to report
        // that it has read the last of it as well would wait for its next
        // report, which comes late now and then on a busy machine (through
        // PipeWire's PulseAudio service), and hold the game for that.
        if (written_ == paddedEnd && started_ &&
            (written_ - at->read_index <= keepAhead || (!at->playing && at->read_index > begins))) {
            std::this_thread::sleep_until(heardOut);
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
        // A stream that has started and then stands still with a cue in it,
        // as PipeWire's could when its pieces changed size under it, counts
        // as lost, and the player makes a new one.
        if (at->read_index != lastRead || at->playing || !started_) {
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
