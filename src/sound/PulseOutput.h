#pragma once

#include "sound/Cues.h"
#include "sound/Output.h"

#include <pulse/context.h>
#include <pulse/mainloop.h>
#include <pulse/stream.h>

#include <chrono>
#include <cstdint>

namespace sound {

// One playback stream on the desktop's sound server, through libpulse:
// PulseAudio's own protocol, which PipeWire serves too. Its main loop is
// turned only while a cue plays, by the thread that plays it. Made and closed
// in PulseOutput.cpp; a cue is played on it in PulseCue.cpp.
class PulseOutput final : public Output {
public:
    // Nothing, with the reason in why, when there is no server to play
    // through (libpulse is missing, or no server answers).
    static std::unique_ptr<PulseOutput> open(std::string& why);
    ~PulseOutput() override;
    PulseOutput(const PulseOutput&) = delete;
    PulseOutput& operator=(const PulseOutput&) = delete;

    bool play(const QByteArray& cue) override;

private:
    // What the stream asks the server to keep ahead of the speaker. The
    // server sets its own pace by the smallest of its streams' asks, and a
    // cue is heard that much after it leaves the stream: PulseAudio's null
    // sink keeps a whole second ahead when nobody asks. Granted as asked or
    // not, the cue's end is judged from what the server reports.
    static constexpr std::chrono::milliseconds askedLatency{10};

    static constexpr std::int64_t bytes(std::chrono::milliseconds time) {
        return time.count() * cueRate / 1000 * cueBytesPerFrame;
    }

    PulseOutput() = default;
    // Plays the cue, giving up on the server at giveUp (see play()); it is
    // over once the server holds no more than keepAhead bytes of the stream.
    bool playUntil(const QByteArray& cue, std::chrono::steady_clock::time_point giveUp,
                   std::int64_t keepAhead);
    // Turns the main loop until ready() or the connection fails; false on
    // failure or past the deadline.
    template <typename Ready>
    bool turnUntil(Ready ready, std::chrono::steady_clock::time_point deadline);
    bool connected() const;
    // Makes the stream and starts it; false when that could not be done by
    // the deadline.
    bool connectStream(std::chrono::steady_clock::time_point deadline);
    // Writes the next part of the cue that spans begins to ends.
    void write(const QByteArray& cue, std::int64_t begins, std::int64_t ends);
    // Plays now, even a cue shorter than what the server would otherwise
    // wait to have before it starts.
    void start() const;
    // Asks the server where playback is and waits for the answer.
    const pa_timing_info* timing(std::chrono::steady_clock::time_point deadline);

    pa_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
    // Bytes written since the stream began: the server's write index.
    std::int64_t written_ = 0;
    // What the server takes from the stream at a time, in bytes.
    std::int64_t piece_ = cueBytesPerFrame;
    // Whether the stream has played yet. A new one may take a while to start
    // (PulseAudio's null sink: up to two seconds, while what it kept ahead
    // plays out), and is not taken for stuck before it has.
    bool started_ = false;
};

} // namespace sound
