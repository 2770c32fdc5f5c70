#include "runtime/Sign.h"

#include "runtime/AccessibleFactory.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace rt {

namespace {

// What assistive technology sees: the sign's text while it is lit, an
// invisible object without a name while it is not.
class SignAccessible : public QAccessibleWidget {
public:
    explicit SignAccessible(Sign* sign) : QAccessibleWidget(sign, QAccessible::StaticText) {}

    QString text(QAccessible::Text kind) const override {
        const auto* sign = static_cast<const Sign*>(widget());
        if (kind == QAccessible::Name)
            return sign->isLit() ? sign->text() : QString();
        return QAccessibleWidget::text(kind);
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        if (!static_cast<const Sign*>(widget())->isLit())
            state.invisible = true;
        return state;
    }
};

} // namespace

Sign::Sign(QWidget* parent) : Label(parent) {
    installAccessible<Sign, SignAccessible>();
}

void Sign::setLit(bool lit) {
    if (lit == lit_)
        return;
    lit_ = lit;
    update();
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, lit ? QAccessible::ObjectShow : QAccessible::ObjectHide);
        QAccessible::updateAccessibility(&event);
    }
}

// Qt fills the background first: unlit, that is all there is to paint.
void Sign::paintEvent(QPaintEvent* event) {
    if (lit_)
        Label::paintEvent(event);
}

} // namespace rt
