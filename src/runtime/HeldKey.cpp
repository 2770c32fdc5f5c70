#include "runtime/HeldKey.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QKeyEvent>

namespace rt {

HeldKey::HeldKey(QAbstractButton& button, Enter enter)
    : QObject(&button), button_(button), enter_(enter) {
    releaseLater_.setSingleShot(true);
    connect(&releaseLater_, &QTimer::timeout, this, &HeldKey::letGo);
    button.installEventFilter(this);
}

bool HeldKey::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &button_ || sending_)
        return false;
    if (event->type() == QEvent::FocusOut) {
        // The key's release goes elsewhere now; Qt's button comes up unclicked.
        releaseLater_.stop();
        heldKey_ = 0;
        return false;
    }
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if ((enter && enter_ == Ignored) || (!enter && key->key() != Qt::Key_Space))
        return false;
    const int which = enter ? int(Qt::Key_Enter) : int(Qt::Key_Space);
    if (event->type() == QEvent::KeyRelease) {
        if (which == heldKey_ && !key->isAutoRepeat())
            releaseLater_.start(keyRepeatMilliseconds);
        return true;
    }
    if (key->isAutoRepeat() || which == heldKey_) {
        // The press of a repeat: the key never went up.
        releaseLater_.stop();
        return true;
    }
    if (heldKey_ || button_.isDown())
        return true;
    heldKey_ = which;
    if (!enter)
        return false; // Qt's button takes Space down itself
    if (enter_ == AtOnce)
        button_.click();
    else
        sendSpace(QEvent::KeyPress);
    return true;
}

void HeldKey::letGo() {
    const bool pressesAsSpace = heldKey_ == Qt::Key_Space || enter_ == AsSpace;
    heldKey_ = 0;
    if (pressesAsSpace && button_.isDown())
        sendSpace(QEvent::KeyRelease);
}

void HeldKey::sendSpace(QEvent::Type type) {
    sending_ = true;
    QKeyEvent space(type, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QCoreApplication::sendEvent(&button_, &space);
    sending_ = false;
}

} // namespace rt
