#pragma once

#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/mainloop.h>
#include <pulse/stream.h>

namespace sound {

// libpulse is loaded when sound is first wanted, not with the program, for
// the same reason as SDL (see SdlLibrary.h): linked in, it brings a dozen
// libraries more (codecs among them) that would load before the window. These
// are the calls the server's stream makes, each named once without its pa_;
// without all of them there is no server to play through.
struct PulseLibrary {
    bool loaded = false;
// clang-format off
#define ROLVANGER_PULSE_CALLS(CALL) \
    CALL(mainloop_new) CALL(mainloop_get_api) CALL(mainloop_iterate) CALL(mainloop_free) \
    CALL(context_new) CALL(context_connect) CALL(context_get_state) CALL(context_errno) \
    CALL(context_disconnect) CALL(context_unref) CALL(stream_new) CALL(stream_get_state) \
    CALL(stream_connect_playback) CALL(stream_get_buffer_attr) CALL(stream_write) \
    CALL(stream_trigger) CALL(stream_update_timing_info) CALL(stream_get_timing_info) \
    CALL(stream_disconnect) CALL(stream_unref) CALL(operation_get_state) CALL(operation_unref) \
    CALL(strerror)
// clang-format on
#define ROLVANGER_PULSE_DECLARE(name) decltype(&pa_##name) name = nullptr;
    ROLVANGER_PULSE_CALLS(ROLVANGER_PULSE_DECLARE)
#undef ROLVANGER_PULSE_DECLARE
};

// Loaded by whichever thread first asks, and kept.
const PulseLibrary& pulse();

} // namespace sound
