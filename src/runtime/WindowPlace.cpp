#include "runtime/WindowPlace.h"

#include "runtime/WindowFraming.h"

#include <QWidget>
#include <algorithm>

namespace rt {

namespace {

// Where the frame goes on one axis, when the window manager places it.
enum class Anchor { Start, Middle, End, AsAsked };

Gravity gravityOf(Anchor across, Anchor down) {
    if (across == Anchor::AsAsked && down == Anchor::AsAsked)
        return Gravity::Static;
    // Kept as asked on one axis only: the frame's middle there, which is
    // where the client area is across a frame of equal sides.
    auto step = [](Anchor anchor) {
        return anchor == Anchor::Start ? 0 : anchor == Anchor::End ? 2 : 1;
    };
    return static_cast<Gravity>(static_cast<int>(Gravity::NorthWest) + step(across) +
                                3 * step(down));
}

QRect movedWithin(QRect rect, const QRect& area) {
    rect.moveRight(std::min(rect.right(), area.right()));
    rect.moveBottom(std::min(rect.bottom(), area.bottom()));
    rect.moveLeft(std::max(rect.left(), area.left()));
    rect.moveTop(std::max(rect.top(), area.top()));
    return rect;
}

Place placeOf(const QRect& whole, std::optional<QMargins> frame, Anchor across, Anchor down) {
    if (frame)
        return {whole.topLeft() + QPoint(frame->left(), frame->top()), Gravity::Static};
    return {whole.topLeft(), gravityOf(across, down)};
}

} // namespace

Place centredIn(const QRect& area, QSize size, std::optional<QMargins> frame) {
    QRect whole(QPoint(), frame ? size.grownBy(*frame) : size);
    whole.moveCenter(area.center());
    const Anchor across = whole.left() < area.left() ? Anchor::Start : Anchor::Middle;
    const Anchor down = whole.top() < area.top() ? Anchor::Start : Anchor::Middle;
    whole.moveTopLeft({std::max(whole.left(), area.left()), std::max(whole.top(), area.top())});
    return placeOf(whole, frame, across, down);
}

Place keptWithin(const QRect& area, const QRect& wanted, std::optional<QMargins> frame) {
    const QRect whole = frame ? wanted.marginsAdded(*frame) : wanted;
    const QRect kept = movedWithin(whole, area);
    auto anchor = [](int keptStart, int wantedStart, int areaStart) {
        if (keptStart == wantedStart)
            return Anchor::AsAsked;
        return keptStart == areaStart ? Anchor::Start : Anchor::End;
    };
    return placeOf(kept, frame, anchor(kept.left(), whole.left(), area.left()),
                   anchor(kept.top(), whole.top(), area.top()));
}

void centreOnScreen(QWidget& window) {
    placeOnFirstShowing(window, [&window](const QRect& area, std::optional<QMargins> frame) {
        return centredIn(area, window.size(), frame);
    });
}

void placeOnScreen(QWidget& window, QPoint client) {
    placeOnFirstShowing(window,
                        [&window, client](const QRect& area, std::optional<QMargins> frame) {
                            return keptWithin(area, QRect(client, window.size()), frame);
                        });
}

} // namespace rt
