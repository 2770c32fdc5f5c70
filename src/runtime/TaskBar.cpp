#include "runtime/TaskBar.h"

#include <QEvent>
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
    decltype(&xcb_send_event) sendEvent = nullptr;
    decltype(&xcb_get_setup) getSetup = nullptr;
    decltype(&xcb_setup_roots_iterator) setupRoots = nullptr;

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
            xcb.sendEvent = find<decltype(sendEvent)>(library, "xcb_send_event");
            xcb.getSetup = find<decltype(getSetup)>(library, "xcb_get_setup");
            xcb.setupRoots = find<decltype(setupRoots)>(library, "xcb_setup_roots_iterator");
            return xcb;
        }();
        const bool complete = table.internAtom && table.internAtomReply && table.changeProperty &&
                              table.flush && table.sendEvent && table.getSetup && table.setupRoots;
        return complete ? &table : nullptr;
    }

private:
    template <class Function> static Function find(void* library, const char* name) {
        return reinterpret_cast<Function>(dlsym(library, name));
    }
};

// The two atoms, asked for once: both questions go out before the first
// answer is awaited, one round trip to the display server instead of two.
struct StateAtoms {
    xcb_atom_t state = XCB_ATOM_NONE;
    xcb_atom_t skipTaskBar = XCB_ATOM_NONE;

    static const StateAtoms& of(const Xcb& xcb, xcb_connection_t* connection) {
        static const StateAtoms atoms = [&] {
            auto ask = [&](const char* name) {
                return xcb.internAtom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)),
                                      name);
            };
            const xcb_intern_atom_cookie_t askedState = ask("_NET_WM_STATE");
            const xcb_intern_atom_cookie_t askedSkip = ask("_NET_WM_STATE_SKIP_TASKBAR");
            auto answer = [&](xcb_intern_atom_cookie_t cookie) {
                xcb_intern_atom_reply_t* reply = xcb.internAtomReply(connection, cookie, nullptr);
                const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
                std::free(reply);
                return atom;
            };
            StateAtoms found;
            found.state = answer(askedState);
            found.skipTaskBar = answer(askedSkip);
            return found;
        }();
        return atoms;
    }
};

// Window managers drop a window's state when it is hidden, so the request is
// made again on every showing: as a property just before the window is
// mapped, which the window manager reads when it takes the window, and once
// it is mapped as a message to the root window, for a window manager that
// had not yet dropped the old state when the property was set.
class TaskBarKeeper : public QObject {
public:
    explicit TaskBarKeeper(QWidget& window) : QObject(&window), window_(window) {
        window.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &window_ && event->type() == QEvent::Show) {
            // A window brought back from the task bar's minimised state was
            // never withdrawn: its state is the window manager's to keep.
            if (!event->spontaneous())
                ask(Moment::BeforeMapping);
            // The window is mapped once the show event has been handled.
            QMetaObject::invokeMethod(
                this, [this] { ask(Moment::Mapped); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    enum class Moment { BeforeMapping, Mapped };

    void ask(Moment moment) {
        auto* x11 =
            qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
        if (!x11 || !x11->connection() || (moment == Moment::Mapped && !window_.isVisible()))
            return;
        const Xcb* xcb = Xcb::loaded();
        if (!xcb)
            return;
        xcb_connection_t* connection = x11->connection();
        const StateAtoms& atoms = StateAtoms::of(*xcb, connection);
        if (atoms.state == XCB_ATOM_NONE || atoms.skipTaskBar == XCB_ATOM_NONE)
            return;
        const auto id = static_cast<xcb_window_t>(window_.winId());
        if (moment == Moment::BeforeMapping) {
            // The withdrawn window has no state of its own; Qt adds its states
            // to the one it finds when it maps the window.
            xcb->changeProperty(connection, XCB_PROP_MODE_REPLACE, id, atoms.state, XCB_ATOM_ATOM,
                                32, 1, &atoms.skipTaskBar);
        } else if (const xcb_window_t root = rootOf(*xcb, connection); root != XCB_WINDOW_NONE) {
            constexpr std::uint32_t add = 1;
            constexpr std::uint32_t fromApplication = 1;
            xcb_client_message_event_t message{};
            message.response_type = XCB_CLIENT_MESSAGE;
            message.format = 32;
            message.window = id;
            message.type = atoms.state;
            message.data.data32[0] = add;
            message.data.data32[1] = atoms.skipTaskBar;
            message.data.data32[3] = fromApplication;
            xcb->sendEvent(connection, 0, root,
                           XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT |
                               XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                           reinterpret_cast<const char*>(&message));
        }
        xcb->flush(connection);
    }

    xcb_window_t rootOf(const Xcb& xcb, xcb_connection_t* connection) const {
        // The first screen's root: displays of several X screens are no longer
        // met in practice.
        xcb_screen_iterator_t roots = xcb.setupRoots(xcb.getSetup(connection));
        return roots.rem > 0 ? roots.data->root : xcb_window_t{XCB_WINDOW_NONE};
    }

    QWidget& window_;
};

} // namespace

void keepOffTaskBar(QWidget& window) {
    new TaskBarKeeper(window);
}

} // namespace rt
