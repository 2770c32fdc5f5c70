#include "runtime/CheckBox.h"

#include "runtime/FocusMarks.h"
#include "runtime/HeldKey.h"

#include <QApplication>
#include <QProxyStyle>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <algorithm>

namespace rt {

namespace {

// Assistive technology takes a check box's extents from the style's click
// rectangle, worked out as if the box stood on the left. With the box on the
// right the whole area is drawn on and reacts to a click, so that is the
// rectangle to report.
class BoxOnRightStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    QRect subElementRect(SubElement element, const QStyleOption* option,
                         const QWidget* widget) const override {
        if (element == SE_CheckBoxClickRect)
            return option->rect;
        return QProxyStyle::subElementRect(element, option, widget);
    }
};

} // namespace

CheckBox::CheckBox(QWidget* parent) : QCheckBox(parent) {
    setAutoFillBackground(true);
    new HeldKey(*this, HeldKey::Ignored);
}

void CheckBox::putBoxOnRight() {
    if (boxOnRight_)
        return;
    boxOnRight_ = true;
    auto* own = new BoxOnRightStyle(QApplication::style()->name());
    own->setParent(this);
    setStyle(own);
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
        if (showsFocusMark(*this)) {
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
