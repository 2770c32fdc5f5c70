#include "runtime/Prompts.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <vector>

namespace rt {

namespace {

// Boxes that are open right now, innermost last, so that closeAll can end them.
std::vector<QPointer<QDialog>>& openBoxes() {
    static std::vector<QPointer<QDialog>> boxes;
    return boxes;
}

int runModal(QDialog& box) {
    box.setWindowModality(Qt::ApplicationModal);
    openBoxes().emplace_back(&box);
    const int result = box.exec();
    openBoxes().pop_back();
    return result;
}

} // namespace

void QtPrompts::message(const QString& prompt, const QString& title, Icon icon) {
    QMessageBox box(icon == Icon::Critical ? QMessageBox::Critical : QMessageBox::Warning, title,
                    prompt, QMessageBox::Ok, QApplication::activeWindow());
    runModal(box);
}

std::optional<QString> QtPrompts::input(const QString& prompt, const QString& title) {
    QInputDialog box(QApplication::activeWindow());
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
