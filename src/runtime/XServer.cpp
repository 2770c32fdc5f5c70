#include "runtime/XServer.h"

#include <QGuiApplication>
#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace rt::x11 {

std::optional<Server> Server::ofApplication() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return std::nullopt;
    // The first screen's root: displays of several X screens are no longer
    // met in practice.
    const xcb_screen_iterator_t roots = xcb_setup_roots_iterator(xcb_get_setup(connection));
    if (roots.rem <= 0)
        return std::nullopt;
    return Server(connection, roots.data->root);
}

const Atoms& Server::atoms() const {
    // Asked for once, every question before the first answer is awaited: one
    // round trip to the display server instead of six.
    static const Atoms atoms = [this] {
        auto ask = [this](const char* name) {
            return xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(std::strlen(name)),
                                   name);
        };
        const xcb_intern_atom_cookie_t asked[] = {ask("_NET_WM_STATE"),
                                                  ask("_NET_WM_STATE_SKIP_TASKBAR"),
                                                  ask("_NET_SUPPORTED"),
                                                  ask("_NET_SUPPORTING_WM_CHECK"),
                                                  ask("_NET_REQUEST_FRAME_EXTENTS"),
                                                  ask("_NET_FRAME_EXTENTS")};
        auto answer = [this](xcb_intern_atom_cookie_t cookie) {
            xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection_, cookie, nullptr);
            const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
            std::free(reply);
            return atom;
        };
        Atoms found;
        found.state = answer(asked[0]);
        found.skipTaskBar = answer(asked[1]);
        found.supported = answer(asked[2]);
        found.supportingWmCheck = answer(asked[3]);
        found.requestFrameExtents = answer(asked[4]);
        found.frameExtents = answer(asked[5]);
        return found;
    }();
    return atoms;
}

std::vector<std::uint32_t> Server::property(xcb_window_t window, xcb_atom_t name,
                                            xcb_atom_t type) const {
    constexpr std::uint32_t mostItems = 1024;
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(connection_, 0, window, name, type, 0, mostItems);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(connection_, cookie, nullptr);
    std::vector<std::uint32_t> items;
    if (reply && reply->type == type && reply->format == 32) {
        const auto* first = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
        items.assign(first, first + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return items;
}

void Server::setAtoms(xcb_window_t window, xcb_atom_t name,
                      const std::vector<xcb_atom_t>& atoms) const {
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, name, XCB_ATOM_ATOM, 32,
                        static_cast<std::uint32_t>(atoms.size()), atoms.data());
}

void Server::askWindowManager(xcb_window_t window, xcb_atom_t type,
                              const std::array<std::uint32_t, 5>& data) const {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = type;
    std::copy(data.begin(), data.end(), message.data.data32);
    xcb_send_event(connection_, 0, root_,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
}

bool Server::windowManagerSupports(xcb_atom_t request) const {
    // A window manager that is gone may leave its list behind; the window it
    // names as its own goes with it.
    const auto check = property(root_, atoms().supportingWmCheck, XCB_ATOM_WINDOW);
    if (check.size() != 1 ||
        property(check[0], atoms().supportingWmCheck, XCB_ATOM_WINDOW) != check)
        return false;
    const auto supported = property(root_, atoms().supported, XCB_ATOM_ATOM);
    return std::find(supported.begin(), supported.end(), request) != supported.end();
}

void Server::setGravity(xcb_window_t window, std::uint32_t gravity) const {
    // Flags, then 17 numbers of which the last is the gravity (ICCCM 4.1.2.3).
    constexpr std::size_t items = 18;
    constexpr std::uint32_t gravityGiven = 1U << 9;
    std::vector<std::uint32_t> hints =
        property(window, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS);
    hints.resize(std::max(hints.size(), items));
    hints[0] |= gravityGiven;
    hints[items - 1] = gravity;
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NORMAL_HINTS,
                        XCB_ATOM_WM_SIZE_HINTS, 32, static_cast<std::uint32_t>(hints.size()),
                        hints.data());
}

void Server::grab() const {
    xcb_grab_server(connection_);
}

void Server::release() const {
    xcb_ungrab_server(connection_);
}

void Server::flush() const {
    xcb_flush(connection_);
}

} // namespace rt::x11
