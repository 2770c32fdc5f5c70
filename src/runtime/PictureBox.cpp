#include "runtime/PictureBox.h"

#include "runtime/FocusMarks.h"
#include "runtime/HeldKey.h"

#include <QAccessible>
#include <QMouseEvent>
#include <QPainter>

namespace rt {

namespace {

// The same mouse event as if the left button made it: Qt's button answers
// that one alone.
QMouseEvent asLeftButton(const QMouseEvent& event) {
    return QMouseEvent(event.type(), event.position(), event.scenePosition(),
                       event.globalPosition(), Qt::LeftButton,
                       event.type() == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                       event.modifiers(), event.pointingDevice());
}

} // namespace

PictureBox::PictureBox(QWidget* parent) : QAbstractButton(parent) {
    // Its back colour is the window colour a design gives, not a button face.
    setBackgroundRole(QPalette::Window);
    setAutoFillBackground(true);
    new HeldKey(*this, HeldKey::AtOnce);
}

void PictureBox::setPicture(const QPixmap& picture) {
    picture_ = picture;
    update();
}

void PictureBox::tellDescription(const QString& description) {
    if (description != accessibleDescription()) {
        setAccessibleDescription(description);
        return;
    }
    QAccessibleEvent event(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture_);
    // A dotted frame at the edge, where the picture is black: the focus shows
    // and the picture stays as it is.
    if (showsFocusMark(*this)) {
        painter.setPen(QPen(palette().color(QPalette::Light), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    if (isDown())
        return; // another button holds it down already
    QMouseEvent left = asLeftButton(*event);
    QAbstractButton::mousePressEvent(&left);
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    if (event->buttons() != Qt::NoButton || !isDown())
        return;
    const bool over = hitButton(event->position().toPoint());
    QMouseEvent left = asLeftButton(*event);
    QAbstractButton::mouseReleaseEvent(&left);
    // Let go elsewhere, Qt's button only comes up; a lever is seen to.
    if (!over)
        emit released();
}

// Held and moved off, Qt's button would come up; a lever stays down until it
// is let go.
void PictureBox::mouseMoveEvent(QMouseEvent* event) {
    event->ignore();
}

// Qt would take the second press of a double-click for a press; the first
// half was the click.
void PictureBox::mouseDoubleClickEvent(QMouseEvent*) {}

} // namespace rt
