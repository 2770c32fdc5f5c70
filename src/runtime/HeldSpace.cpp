#include "runtime/HeldSpace.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QKeyEvent>

namespace rt {

HeldSpace::HeldSpace(QAbstractButton& button, Keys keys)
    : QObject(&button), button_(button), keys_(keys) {
    releaseLater_.setSingleShot(true);
    connect(&releaseLater_, &QTimer::timeout, this, &HeldSpace::release);
    button.installEventFilter(this);
}

bool HeldSpace::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &button_ || releasing_)
        return false;
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (keys_ == EnterToo && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        // Qt's button takes Space alone: Enter goes to it as Space, and so
        // through the same repeat handling.
        QKeyEvent space(event->type(), Qt::Key_Space, key->modifiers(), QStringLiteral(" "),
                        key->isAutoRepeat());
        QCoreApplication::sendEvent(&button_, &space);
        return true;
    }
    if (key->key() != Qt::Key_Space)
        return false;
    if (event->type() == QEvent::KeyPress) {
        // The press of a repeat: the key never went up.
        if (releaseLater_.isActive()) {
            releaseLater_.stop();
            return true;
        }
        return false;
    }
    if (!key->isAutoRepeat() && button_.isDown()) {
        releaseLater_.start(keyRepeatMilliseconds);
        return true;
    }
    return false;
}

void HeldSpace::release() {
    releasing_ = true;
    QKeyEvent up(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QCoreApplication::sendEvent(&button_, &up);
    releasing_ = false;
}

} // namespace rt
