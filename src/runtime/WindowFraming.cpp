#include "runtime/WindowFraming.h"

#include "runtime/XServer.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QThread>
#include <QWidget>
#include <cmath>
#include <utility>

namespace rt {

namespace {

// The frame the window manager will draw around the window, asked of it
// before the window is mapped (_NET_REQUEST_FRAME_EXTENTS): none away from
// X11, with no window manager, or with one that does not tell.
std::optional<QMargins> frameToCome(QWidget& window) {
    const auto server = x11::Server::ofApplication();
    if (!server)
        return std::nullopt;
    const x11::Atoms& atoms = server->atoms();
    if (atoms.requestFrameExtents == XCB_ATOM_NONE || atoms.frameExtents == XCB_ATOM_NONE ||
        !server->windowManagerSupports(atoms.requestFrameExtents))
        return std::nullopt;
    const auto id = static_cast<xcb_window_t>(window.winId());
    server->askWindowManager(id, atoms.requestFrameExtents, {});
    server->flush();
    // The answer is a property on the window, which comes within a
    // millisecond; the bound only keeps a window manager that never answers
    // from holding the program up.
    constexpr int boundMilliseconds = 1000;
    QElapsedTimer waited;
    waited.start();
    std::vector<std::uint32_t> extents;
    while ((extents = server->property(id, atoms.frameExtents, XCB_ATOM_CARDINAL)).size() != 4 &&
           waited.elapsed() < boundMilliseconds)
        QThread::usleep(200);
    // Some answer none for a window not yet mapped (GNOME's mutter 48): that
    // tells nothing.
    if (extents.size() != 4 || extents == std::vector<std::uint32_t>(4, 0))
        return std::nullopt;
    // Left, right, top, bottom, in device pixels.
    const qreal ratio = window.devicePixelRatioF();
    auto logical = [ratio](std::uint32_t pixels) {
        return static_cast<int>(std::lround(pixels / ratio));
    };
    return QMargins(logical(extents[0]), logical(extents[2]), logical(extents[1]),
                    logical(extents[3]));
}

// Placed just before Qt maps the window, at the show event: an answer to the
// frame request may come with a move of the withdrawn window to the frame's
// corner, which Qt would otherwise take as the window's place.
//
// Qt writes the window's size hints, and a gravity of its own in them, as it
// maps the window, and the window manager reads them once it hears of the
// mapping: so the server is held from the show event until the place's
// gravity has replaced Qt's, and the window manager reads ours.
class FirstShowing : public QObject {
public:
    FirstShowing(QWidget& window, PlaceRule rule)
        : QObject(&window), window_(window), rule_(std::move(rule)) {
        window.installEventFilter(this);
    }
    FirstShowing(const FirstShowing&) = delete;
    FirstShowing& operator=(const FirstShowing&) = delete;
    ~FirstShowing() override { release(); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &window_ || !rule_)
            return false;
        if (event->type() == QEvent::Show && !event->spontaneous())
            place();
        else if (event->type() == QEvent::ShowToParent)
            done();
        return false;
    }

private:
    void place() {
        const QScreen* screen = QGuiApplication::primaryScreen();
        if (!screen)
            return;
        const Place place = rule_(screen->availableGeometry(), frameToCome(window_));
        window_.setGeometry(QRect(place.client, window_.size()));
        const auto server = x11::Server::ofApplication();
        if (server && place.gravity != Gravity::Static) {
            server->grab();
            held_ = Held{*server, place.gravity};
        }
    }

    // Qt has mapped the window.
    void done() {
        if (held_)
            held_->server.setGravity(static_cast<xcb_window_t>(window_.winId()),
                                     static_cast<std::uint32_t>(held_->gravity));
        release();
        // Later showings keep the window where it was left, as Qt asks.
        rule_ = nullptr;
        deleteLater();
    }

    void release() {
        if (held_) {
            held_->server.release();
            held_->server.flush();
            held_.reset();
        }
    }

    // The server, while it is held, and the gravity it is held for.
    struct Held {
        x11::Server server;
        Gravity gravity;
    };

    QWidget& window_;
    PlaceRule rule_;
    std::optional<Held> held_;
};

} // namespace

void placeOnFirstShowing(QWidget& window, PlaceRule rule) {
    new FirstShowing(window, std::move(rule));
}

} // namespace rt
