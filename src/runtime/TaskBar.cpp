#include "runtime/TaskBar.h"

#include <QGuiApplication>
#include <QWidget>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <xcb/xcb.h>

namespace rt {

namespace {

// The X library as Qt's platform plugin loaded it. The program does not link
// it itself: a library early in the program's own list is searched by every
// symbol lookup of every library at start-up, which costs milliseconds.
struct Xcb {
    decltype(&xcb_intern_atom) internAtom = nullptr;
    decltype(&xcb_intern_atom_reply) internAtomReply = nullptr;
    decltype(&xcb_change_property) changeProperty = nullptr;
    decltype(&xcb_flush) flush = nullptr;

    static const Xcb* loaded() {
        static const Xcb table = [] {
            Xcb xcb;
            void* library = dlopen("libxcb.so.1", RTLD_LAZY | RTLD_NOLOAD);
            if (!library)
                return xcb;
            xcb.internAtom = find<decltype(internAtom)>(library, "xcb_intern_atom");
            xcb.internAtomReply = find<decltype(internAtomReply)>(library, "xcb_intern_atom_reply");
            xcb.changeProperty = find<decltype(changeProperty)>(library, "xcb_change_property");
            xcb.flush = find<decltype(flush)>(library, "xcb_flush");
            return xcb;
        }();
        const bool complete =
            table.internAtom && table.internAtomReply && table.changeProperty && table.flush;
        return complete ? &table : nullptr;
    }

private:
    template <class Function> static Function find(void* library, const char* name) {
        return reinterpret_cast<Function>(dlsym(library, name));
    }
};

} // namespace

void keepOffTaskBar(QWidget& window) {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return;
    const Xcb* xcb = Xcb::loaded();
    if (!xcb)
        return;
    xcb_connection_t* connection = x11->connection();
    const auto id = static_cast<xcb_window_t>(window.winId());
    // Both questions go out before the first answer is awaited: one round
    // trip to the display server instead of two.
    auto ask = [&](const char* name) {
        return xcb->internAtom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    };
    const xcb_intern_atom_cookie_t askedState = ask("_NET_WM_STATE");
    const xcb_intern_atom_cookie_t askedSkip = ask("_NET_WM_STATE_SKIP_TASKBAR");
    auto answer = [&](xcb_intern_atom_cookie_t cookie) {
        xcb_intern_atom_reply_t* reply = xcb->internAtomReply(connection, cookie, nullptr);
        const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        std::free(reply);
        return atom;
    };
    const xcb_atom_t state = answer(askedState);
    const xcb_atom_t skipTaskBar = answer(askedSkip);
    if (state == XCB_ATOM_NONE || skipTaskBar == XCB_ATOM_NONE)
        return;
    // On a window not yet mapped the state is a plain property, which Qt
    // keeps when it adds its own states at the first show.
    xcb->changeProperty(connection, XCB_PROP_MODE_APPEND, id, state, XCB_ATOM_ATOM, 32, 1,
                        &skipTaskBar);
    xcb->flush(connection);
}

} // namespace rt
