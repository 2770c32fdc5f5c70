#pragma once

#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/mainloop.h>
#include <pulse/stream.h>

namespace sound {

// libpulse is loaded when sound is first wanted, not with the program, for
// the same reason as SDL (see SdlLibrary.h): linked in, it brings a dozen
// libraries more (codecs among them) that would load before the window. These
// are the calls the server's stream makes; without all of them there is no
// server to play through.
struct PulseLibrary {
    bool loaded = false;
    decltype(&pa_mainloop_new) mainloop_new = nullptr;
    decltype(&pa_mainloop_get_api) mainloop_get_api = nullptr;
    decltype(&pa_mainloop_iterate) mainloop_iterate = nullptr;
    decltype(&pa_mainloop_free) mainloop_free = nullptr;
    decltype(&pa_context_new) context_new = nullptr;
    decltype(&pa_context_connect) context_connect = nullptr;
    decltype(&pa_context_get_state) context_get_state = nullptr;
    decltype(&pa_context_errno) context_errno = nullptr;
    decltype(&pa_context_disconnect) context_disconnect = nullptr;
    decltype(&pa_context_unref) context_unref = nullptr;
    decltype(&pa_stream_new) stream_new = nullptr;
    decltype(&pa_stream_connect_playback) stream_connect_playback = nullptr;
    decltype(&pa_stream_get_state) stream_get_state = nullptr;
    decltype(&pa_stream_writable_size) stream_writable_size = nullptr;
    decltype(&pa_stream_write) stream_write = nullptr;
    decltype(&pa_stream_trigger) stream_trigger = nullptr;
    decltype(&pa_stream_get_buffer_attr) stream_get_buffer_attr = nullptr;
    decltype(&pa_stream_update_timing_info) stream_update_timing_info = nullptr;
    decltype(&pa_stream_get_timing_info) stream_get_timing_info = nullptr;
    decltype(&pa_stream_disconnect) stream_disconnect = nullptr;
    decltype(&pa_stream_unref) stream_unref = nullptr;
    decltype(&pa_operation_get_state) operation_get_state = nullptr;
    decltype(&pa_operation_unref) operation_unref = nullptr;
    decltype(&pa_strerror) strerror = nullptr;
};

// Loaded by whichever thread first asks, and kept.
const PulseLibrary& pulse();

} // namespace sound
