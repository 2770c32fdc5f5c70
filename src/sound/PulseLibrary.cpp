#include "sound/PulseLibrary.h"

#include "sound/Resolve.h"

namespace sound {

namespace {

PulseLibrary load() {
    PulseLibrary pa;
    QLibrary library(QStringLiteral("pulse"), 0); // stays loaded once loaded
    pa.loaded = library.load() && resolve(library, pa.mainloop_new, "pa_mainloop_new") &&
                resolve(library, pa.mainloop_get_api, "pa_mainloop_get_api") &&
                resolve(library, pa.mainloop_iterate, "pa_mainloop_iterate") &&
                resolve(library, pa.mainloop_free, "pa_mainloop_free") &&
                resolve(library, pa.context_new, "pa_context_new") &&
                resolve(library, pa.context_connect, "pa_context_connect") &&
                resolve(library, pa.context_get_state, "pa_context_get_state") &&
                resolve(library, pa.context_errno, "pa_context_errno") &&
                resolve(library, pa.context_disconnect, "pa_context_disconnect") &&
                resolve(library, pa.context_unref, "pa_context_unref") &&
                resolve(library, pa.stream_new, "pa_stream_new") &&
                resolve(library, pa.stream_connect_playback, "pa_stream_connect_playback") &&
                resolve(library, pa.stream_get_state, "pa_stream_get_state") &&
                resolve(library, pa.stream_writable_size, "pa_stream_writable_size") &&
                resolve(library, pa.stream_write, "pa_stream_write") &&
                resolve(library, pa.stream_trigger, "pa_stream_trigger") &&
                resolve(library, pa.stream_get_buffer_attr, "pa_stream_get_buffer_attr") &&
                resolve(library, pa.stream_update_timing_info, "pa_stream_update_timing_info") &&
                resolve(library, pa.stream_get_timing_info, "pa_stream_get_timing_info") &&
                resolve(library, pa.stream_disconnect, "pa_stream_disconnect") &&
                resolve(library, pa.stream_unref, "pa_stream_unref") &&
                resolve(library, pa.operation_get_state, "pa_operation_get_state") &&
                resolve(library, pa.operation_unref, "pa_operation_unref") &&
                resolve(library, pa.strerror, "pa_strerror");
    return pa;
}

} // namespace

const PulseLibrary& pulse() {
    static const PulseLibrary library = load();
    return library;
}

} // namespace sound
