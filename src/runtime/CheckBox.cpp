#include "runtime/CheckBox.h"

#include <QStyleOptionButton>
#include <QStylePainter>
#include <algorithm>

namespace rt {

CheckBox::CheckBox(QWidget* parent) : QCheckBox(parent) {
    setAutoFillBackground(true);
}

void CheckBox::setBoxOnRight(bool onRight) {
    boxOnRight_ = onRight;
    update();
}

bool CheckBox::hitButton(const QPoint& pos) const {
    return rect().contains(pos);
}

void CheckBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    if (boxOnRight_) {
        // Lay the box out right-to-left but keep the caption's own reading
        // order, so "Autoplay:" keeps its colon at the end.
        option.direction = Qt::RightToLeft;
        QStyleOptionButton sub = option;
        const QRect box = style()->subElementRect(QStyle::SE_CheckBoxIndicator, &sub, this);
        // The caption takes everything left of the box, so the longest one
        // still fits the narrow designed area.
        const QRect text(0, 0, std::max(0, box.left() - 2), height());
        sub.rect = box;
        painter.drawPrimitive(QStyle::PE_IndicatorCheckBox, sub);
        painter.setLayoutDirection(Qt::LeftToRight);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, option.text);
        if (hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = text.adjusted(-1, 0, 1, 0);
            painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
        }
        return;
    }
    painter.drawControl(QStyle::CE_CheckBox, option);
}

} // namespace rt
