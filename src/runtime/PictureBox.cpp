#include "runtime/PictureBox.h"

#include "runtime/AccessibleFactory.h"
#include "runtime/FocusMarks.h"
#include "runtime/HeldSpace.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace rt {

namespace {

// As long as a push button shows itself pressed for assistive technology's
// Press.
constexpr int pressMilliseconds = 100;

// What assistive technology sees: a push button with a Press action, named
// and described as the widget is.
class PictureBoxAccessible : public QAccessibleWidget {
public:
    explicit PictureBoxAccessible(PictureBox* box) : QAccessibleWidget(box, QAccessible::Button) {}

    QStringList actionNames() const override {
        return QStringList(pressAction()) + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& actionName) override {
        if (actionName == pressAction())
            static_cast<PictureBox*>(widget())->animatePress();
        else
            QAccessibleWidget::doAction(actionName);
    }

    QStringList keyBindingsForAction(const QString& actionName) const override {
        if (actionName == pressAction())
            return {QStringLiteral("Space")};
        return QAccessibleWidget::keyBindingsForAction(actionName);
    }
};

} // namespace

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    installAccessible<PictureBox, PictureBoxAccessible>();
    setAutoFillBackground(true);
    releaseLater_.setSingleShot(true);
    connect(&releaseLater_, &QTimer::timeout, this, &PictureBox::release);
}

void PictureBox::setPicture(const QPixmap& picture) {
    picture_ = picture;
    update();
}

void PictureBox::animatePress() {
    if (releaseLater_.isActive() || heldKey_)
        return;
    emit MouseDown();
    releaseLater_.start(pressMilliseconds);
}

void PictureBox::tellDescription(const QString& description) {
    if (description != accessibleDescription()) {
        setAccessibleDescription(description);
        return;
    }
    QAccessibleEvent event(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}

void PictureBox::release() {
    emit MouseUp();
    emit Click();
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

void PictureBox::mousePressEvent(QMouseEvent*) {
    emit MouseDown();
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    emit MouseUp();
    if (event->buttons() != Qt::NoButton)
        return;
    const bool endsDoubleClick = inDoubleClick_;
    inDoubleClick_ = false;
    // A control is clicked by releasing the last held button over it; the
    // first half of a double-click was the click.
    if (!endsDoubleClick && rect().contains(event->position().toPoint()))
        emit Click();
}

// Qt would take the second press of a double-click for a press.
void PictureBox::mouseDoubleClickEvent(QMouseEvent*) {
    inDoubleClick_ = true;
}

bool PictureBox::repeats(const QKeyEvent& press) const {
    return press.isAutoRepeat() || heldKey_ == press.key() ||
           (releasedKey_ == press.key() && sinceRelease_.isValid() &&
            sinceRelease_.elapsed() < keyRepeatMilliseconds);
}

void PictureBox::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const bool enter = key == Qt::Key_Enter || key == Qt::Key_Return;
    if (key != Qt::Key_Space && !enter) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (repeats(*event)) {
        heldKey_ = key;
        // Space is still down: its release was the repeat's.
        if (key == Qt::Key_Space)
            releaseLater_.stop();
        return;
    }
    if (heldKey_ || releaseLater_.isActive())
        return; // one key at a time, as a push button takes them
    heldKey_ = key;
    emit MouseDown();
    if (enter)
        release();
}

void PictureBox::keyReleaseEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key != heldKey_ || event->isAutoRepeat()) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    heldKey_ = 0;
    releasedKey_ = key;
    sinceRelease_.start();
    if (key == Qt::Key_Space)
        releaseLater_.start(keyRepeatMilliseconds);
}

// Like a push button, a picture box that loses the focus while Space holds it
// down comes up without a Click.
void PictureBox::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    if (heldKey_ == Qt::Key_Space)
        emit MouseUp();
    heldKey_ = 0;
}

} // namespace rt
