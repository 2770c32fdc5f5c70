#include "runtime/CommandButton.h"

#include "runtime/FocusMarks.h"
#include "runtime/HeldKey.h"

#include <QPainter>
#include <QStyle>
#include <qdrawutil.h>

namespace rt {

namespace {

QColor halfway(QColor from, QColor to) {
    return QColor((from.red() + to.red()) / 2, (from.green() + to.green()) / 2,
                  (from.blue() + to.blue()) / 2);
}

} // namespace

CommandButton::CommandButton(QWidget* parent) : QPushButton(parent) {
    setAutoDefault(false);
    new HeldKey(*this, HeldKey::AsSpace);
}

void CommandButton::setBackColour(QColor colour) {
    QPalette pal = palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        pal.setColor(group, QPalette::Button, colour);
    setPalette(pal);
    colourFaced_ = true;
}

QColor CommandButton::backColour() const {
    return palette().color(QPalette::Button);
}

QPalette CommandButton::edges() const {
    // White and black outside, the face's own lighter and darker shade
    // inside: the edge stands out from a face of any colour, dark or light.
    const QColor face = backColour();
    QPalette edges = palette();
    edges.setColor(QPalette::Light, Qt::white);
    edges.setColor(QPalette::Midlight, halfway(face, Qt::white));
    edges.setColor(QPalette::Dark, halfway(face, Qt::black));
    edges.setColor(QPalette::Shadow, Qt::black);
    return edges;
}

void CommandButton::paintEvent(QPaintEvent* event) {
    if (!colourFaced_) {
        QPushButton::paintEvent(event);
        return;
    }
    // The style's own face is a gradient that brightens under the pointer;
    // a colour-faced button shows its colour as it is.
    QPainter painter(this);
    const bool down = isDown() || isChecked();
    qDrawWinButton(&painter, rect(), edges(), down, &palette().brush(QPalette::Button));
    QRect caption = rect().adjusted(2, 2, -2, -2);
    if (down)
        caption.translate(1, 1);
    style()->drawItemText(&painter, caption, Qt::AlignCenter | Qt::TextShowMnemonic, palette(),
                          isEnabled(), text(), QPalette::ButtonText);
    if (showsFocusMark(*this)) {
        // Dots alternating black and white stay visible on any face colour.
        const QRect focus = rect().adjusted(3, 2, -4, -3);
        painter.setPen(Qt::white);
        painter.drawRect(focus);
        QPen dots(Qt::black);
        dots.setDashPattern({1.0, 1.0});
        painter.setPen(dots);
        painter.drawRect(focus);
    }
}

} // namespace rt
