#include "runtime/WindowPlace.h"

#include "runtime/XServer.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMargins>
#include <QScreen>
#include <QThread>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace rt {

namespace {

// The frame the window manager will draw around the window, asked of it
// before the window is mapped (_NET_REQUEST_FRAME_EXTENTS): none away from
// X11, with no window manager, or with one that does not say.
QMargins frameToCome(QWidget& window) {
    const auto server = x11::Server::ofApplication();
    if (!server)
        return {};
    const x11::Atoms& atoms = server->atoms();
    if (atoms.requestFrameExtents == XCB_ATOM_NONE || atoms.frameExtents == XCB_ATOM_NONE ||
        !server->windowManagerSupports(atoms.requestFrameExtents))
        return {};
    // Made now, with the type and decorations it asks for, which the frame
    // depends on.
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
    if (extents.size() != 4)
        return {};
    // Left, right, top, bottom, in device pixels.
    const qreal ratio = window.devicePixelRatioF();
    auto logical = [ratio](std::uint32_t pixels) {
        return static_cast<int>(std::lround(pixels / ratio));
    };
    return {logical(extents[0]), logical(extents[2]), logical(extents[1]), logical(extents[3])};
}

} // namespace

void centreOnScreen(QWidget& window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QMargins frame = frameToCome(window);
    QRect whole(QPoint(), window.size().grownBy(frame));
    whole.moveCenter(area.center());
    // On a screen smaller than the window, its title bar stays reachable.
    whole.moveTopLeft({std::max(whole.left(), area.left()), std::max(whole.top(), area.top())});
    // Placed by its client area, which every window manager takes as it is.
    window.setGeometry(QRect(whole.topLeft() + QPoint(frame.left(), frame.top()), window.size()));
}

QRect keptWithin(QRect rect, const QRect& area) {
    rect.moveRight(std::min(rect.right(), area.right()));
    rect.moveBottom(std::min(rect.bottom(), area.bottom()));
    rect.moveLeft(std::max(rect.left(), area.left()));
    rect.moveTop(std::max(rect.top(), area.top()));
    return rect;
}

} // namespace rt
