#include "sound/AfterFirstPaint.h"

#include <QCoreApplication>
#include <QEvent>
#include <utility>

namespace sound {

AfterFirstPaint::AfterFirstPaint(std::function<void()> then) : then_(std::move(then)) {
    if (QCoreApplication* application = QCoreApplication::instance()) {
        application->installEventFilter(this);
    }
}

bool AfterFirstPaint::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Expose && watched->isWindowType() && then_) {
        QCoreApplication::instance()->removeEventFilter(this);
        QMetaObject::invokeMethod(this, std::exchange(then_, nullptr), Qt::QueuedConnection);
    }
    return false;
}

} // namespace sound
