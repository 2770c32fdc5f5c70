#include "runtime/Prompts.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QWindow>
#include <vector>

namespace rt {

namespace {

// Boxes that are open right now, innermost last, so that closeAll can end them.
std::vector<QPointer<QDialog>>& openBoxes() {
    static std::vector<QPointer<QDialog>> boxes;
    return boxes;
}

// Boxes have no parent widget, so that no window going away can take a box
// (and the handler waiting on it) down with it; they are only placed over,
// and kept in front of, the window that was active.
int runModal(QDialog& box) {
    box.setWindowModality(Qt::ApplicationModal);
    if (QWidget* owner = QApplication::activeWindow()) {
        box.winId();
        if (box.windowHandle() && owner->windowHandle())
            box.windowHandle()->setTransientParent(owner->windowHandle());
        box.adjustSize();
        box.move(owner->frameGeometry().center() - box.rect().center());
    }
    openBoxes().emplace_back(&box);
    const int result = box.exec();
    openBoxes().pop_back();
    return result;
}

} // namespace

void QtPrompts::message(const QString& prompt, const QString& title, Icon icon) {
    QMessageBox box(icon == Icon::Critical ? QMessageBox::Critical : QMessageBox::Warning, title,
                    prompt, QMessageBox::Ok);
    runModal(box);
}

std::optional<QString> QtPrompts::input(const QString& prompt, const QString& title) {
    QInputDialog box;
    box.setWindowTitle(title);
    box.setLabelText(prompt);
    box.setTextValue(QString());
    box.setInputMode(QInputDialog::TextInput);
    if (runModal(box) != QDialog::Accepted)
        return std::nullopt;
    return box.textValue();
}

void QtPrompts::closeAll() {
    for (auto& box : openBoxes())
        if (box)
            box->reject();
}

} // namespace rt
