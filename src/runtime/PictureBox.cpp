#include "runtime/PictureBox.h"

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

QAccessibleInterface* pictureBoxAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String("rt::PictureBox"))
        if (auto* box = qobject_cast<PictureBox*>(object))
            return new PictureBoxAccessible(box);
    return nullptr;
}

} // namespace

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    static const bool installed = (QAccessible::installFactory(pictureBoxAccessible), true);
    Q_UNUSED(installed);
    setAutoFillBackground(true);
    pressTimer_.setSingleShot(true);
    pressTimer_.setInterval(pressMilliseconds);
    connect(&pressTimer_, &QTimer::timeout, this, &PictureBox::release);
}

void PictureBox::setPicture(const QPixmap& picture) {
    picture_ = picture;
    update();
}

void PictureBox::animatePress() {
    if (pressTimer_.isActive())
        return;
    emit MouseDown();
    pressTimer_.start();
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
    if (hasFocus()) {
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

void PictureBox::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Space:
        if (!event->isAutoRepeat() && !spaceHeld_) {
            spaceHeld_ = true;
            emit MouseDown();
        }
        break;
    case Qt::Key_Enter:
    case Qt::Key_Return:
        if (!event->isAutoRepeat()) {
            emit MouseDown();
            release();
        }
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void PictureBox::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Space) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    if (event->isAutoRepeat() || !spaceHeld_)
        return;
    spaceHeld_ = false;
    release();
}

// Like a push button, a picture box that loses the focus while Space holds it
// down comes up without a Click.
void PictureBox::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    if (spaceHeld_) {
        spaceHeld_ = false;
        emit MouseUp();
    }
}

} // namespace rt
