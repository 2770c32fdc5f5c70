#pragma once

#include <xcb/xcb.h>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace rt::x11 {

// The atoms the runtime asks the X server and the window manager about.
struct Atoms {
    xcb_atom_t state = XCB_ATOM_NONE; // _NET_WM_STATE
    xcb_atom_t skipTaskBar = XCB_ATOM_NONE;
    xcb_atom_t supported = XCB_ATOM_NONE;
    xcb_atom_t supportingWmCheck = XCB_ATOM_NONE;
    xcb_atom_t requestFrameExtents = XCB_ATOM_NONE;
    xcb_atom_t frameExtents = XCB_ATOM_NONE;
};

// The connection to the X server that Qt made, for the few things Qt does not
// ask of a window manager: a window's task-bar state, the frame it will draw
// and where it puts that frame. There is none away from X11.
class Server {
public:
    static std::optional<Server> ofApplication();

    const Atoms& atoms() const;

    // A property of 32-bit items of the given type; empty when the window
    // has none, or is gone.
    std::vector<std::uint32_t> property(xcb_window_t window, xcb_atom_t name,
                                        xcb_atom_t type) const;
    void setAtoms(xcb_window_t window, xcb_atom_t name, const std::vector<xcb_atom_t>& atoms) const;
    // A request about a window to the window manager, sent to the root
    // window as EWMH has clients send them.
    void askWindowManager(xcb_window_t window, xcb_atom_t type,
                          const std::array<std::uint32_t, 5>& data) const;
    // Whether a window manager runs that says it handles this request.
    bool windowManagerSupports(xcb_atom_t request) const;
    // Replaces the gravity in the window's size hints (WM_NORMAL_HINTS, which
    // Qt writes as it maps a window): how the window manager is to put its
    // frame around the client area when it takes the window.
    void setGravity(xcb_window_t window, std::uint32_t gravity) const;
    // Holds back every other client's requests, the window manager's among
    // them, until released.
    void grab() const;
    void release() const;
    void flush() const;

private:
    Server(xcb_connection_t* connection, xcb_window_t root)
        : connection_(connection), root_(root) {}

    xcb_connection_t* connection_;
    xcb_window_t root_;
};

} // namespace rt::x11
