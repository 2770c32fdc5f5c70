#include "runtime/PictureBox.h"

#include <QMouseEvent>
#include <QPainter>

namespace rt {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
}

void PictureBox::setPicture(const QPixmap& picture) {
    picture_ = picture;
    update();
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture_);
}

void PictureBox::mousePressEvent(QMouseEvent*) {
    emit MouseDown();
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    emit MouseUp();
    // A control is clicked by releasing the last held button over it.
    if (event->buttons() == Qt::NoButton && rect().contains(event->position().toPoint()))
        emit Click();
}

} // namespace rt
