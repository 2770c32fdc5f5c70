#include "runtime/TaskBar.h"

#include <QGuiApplication>
#include <QWidget>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace rt {

namespace {

xcb_intern_atom_cookie_t askForAtom(xcb_connection_t* connection, const char* name) {
    return xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
}

xcb_atom_t atomFrom(xcb_connection_t* connection, xcb_intern_atom_cookie_t cookie) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

} // namespace

void keepOffTaskBar(QWidget& window) {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return;
    xcb_connection_t* connection = x11->connection();
    const auto id = static_cast<xcb_window_t>(window.winId());
    // Both questions go out before the first answer is awaited: one round
    // trip to the display server instead of two.
    const auto askedState = askForAtom(connection, "_NET_WM_STATE");
    const auto askedSkip = askForAtom(connection, "_NET_WM_STATE_SKIP_TASKBAR");
    const xcb_atom_t state = atomFrom(connection, askedState);
    const xcb_atom_t skipTaskBar = atomFrom(connection, askedSkip);
    if (state == XCB_ATOM_NONE || skipTaskBar == XCB_ATOM_NONE)
        return;
    // On a window not yet mapped the state is a plain property, which Qt
    // keeps when it adds its own states at the first show.
    xcb_change_property(connection, XCB_PROP_MODE_APPEND, id, state, XCB_ATOM_ATOM, 32, 1,
                        &skipTaskBar);
    xcb_flush(connection);
}

} // namespace rt
