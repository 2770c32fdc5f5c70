#include "runtime/Label.h"

#include <QMouseEvent>

namespace rt {

Label::Label(QWidget* parent) : QLabel(parent) {
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setAutoFillBackground(true);
    setWordWrap(false);
}

void Label::setCaption(const QString& caption) {
    if (caption == text())
        return;
    setText(caption);
    emit Change();
}

void Label::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    // The release that ends a double-click is not another click.
    if (swallowNextRelease_) {
        swallowNextRelease_ = false;
        return;
    }
    if (rect().contains(event->position().toPoint()))
        emit Click();
}

void Label::mouseDoubleClickEvent(QMouseEvent* event) {
    QLabel::mouseDoubleClickEvent(event);
    swallowNextRelease_ = true;
    emit DblClick();
}

} // namespace rt
