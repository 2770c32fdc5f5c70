#include "runtime/FocusMarks.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace rt {

namespace {

// Qt's own mark of a window whose focus the keyboard has moved, which the
// style's focus frames already follow; Qt sets it only for Tab and Shift+Tab.
constexpr Qt::WidgetAttribute keysUsed = Qt::WA_KeyboardFocusChange;

bool usesFocus(int key) {
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        return true;
    default:
        return false;
    }
}

class KeyWatch final : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType() ||
            !usesFocus(static_cast<QKeyEvent*>(event)->key()))
            return false;
        QWidget* window = static_cast<QWidget*>(watched)->window();
        if (!window->testAttribute(keysUsed)) {
            window->setAttribute(keysUsed);
            if (QWidget* focused = window->focusWidget())
                focused->update();
        }
        return false;
    }
};

} // namespace

void showFocusMarksOnceKeysAreUsed() {
    static KeyWatch* const watch = [] {
        auto* made = new KeyWatch(qApp);
        qApp->installEventFilter(made);
        return made;
    }();
    Q_UNUSED(watch);
}

bool showsFocusMark(const QWidget& control) {
    return control.hasFocus() && control.window()->testAttribute(keysUsed);
}

} // namespace rt
