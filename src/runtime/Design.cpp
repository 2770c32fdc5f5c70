#include "runtime/Design.h"

#include "runtime/CommandButton.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>

namespace rt {

QFont designedFont(const FontDesign& design) {
    QFont font = QApplication::font();
    if (design.face)
        font.setFamily(QString::fromLatin1(design.face));
    if (design.points > 0)
        font.setPixelSize(pointsToPixels(design.points));
    font.setBold(design.bold);
    // The captions are the windows' own text, all in the chosen faces: no
    // search through other fonts for missing characters is needed.
    font.setStyleStrategy(QFont::NoFontMerging);
    return font;
}

namespace {

// A label's accessible name follows its text by itself; other controls are
// named by their caption.
void setCaption(QWidget& control, const QString& caption) {
    if (auto* label = qobject_cast<QLabel*>(&control)) {
        label->setText(caption);
        return;
    }
    if (auto* button = qobject_cast<QAbstractButton*>(&control))
        button->setText(caption);
    control.setAccessibleName(caption);
}

void setColours(QWidget& control, const ControlDesign& design) {
    const bool isButton =
        qobject_cast<QAbstractButton*>(&control) && !control.inherits("QCheckBox");
    if (design.backColour) {
        if (auto* button = qobject_cast<CommandButton*>(&control)) {
            button->setBackColour(QColor(bgrColour(*design.backColour)));
        } else {
            QPalette pal = control.palette();
            pal.setColor(QPalette::Window, QColor(bgrColour(*design.backColour)));
            control.setPalette(pal);
            control.setBackgroundRole(QPalette::Window);
            control.setAutoFillBackground(true);
        }
    }
    if (design.textColour) {
        QPalette pal = control.palette();
        const auto role = isButton ? QPalette::ButtonText : QPalette::WindowText;
        for (auto group : {QPalette::Active, QPalette::Inactive})
            pal.setColor(group, role, QColor(bgrColour(*design.textColour)));
        control.setPalette(pal);
    }
}

} // namespace

void setWindowBackColour(QWidget& window, std::uint32_t bbggrr) {
    QPalette pal = window.palette();
    pal.setColor(QPalette::Window, QColor(bgrColour(bbggrr)));
    window.setPalette(pal);
    window.setAutoFillBackground(true);
}

void applyDesign(QWidget& window, std::span<const ControlDesign> table) {
    QWidget* previous = nullptr;
    for (const ControlDesign& design : table) {
        auto* control = window.findChild<QWidget*>(QString::fromLatin1(design.name));
        if (!control)
            continue;
        control->setGeometry(design.place.pixels());
        if (design.caption)
            setCaption(*control, QString::fromUtf8(design.caption));
        setColours(*control, design);
        control->setFont(designedFont(design.font));
        if (previous && control->focusPolicy() != Qt::NoFocus)
            QWidget::setTabOrder(previous, control);
        if (control->focusPolicy() != Qt::NoFocus)
            previous = control;
    }
}

} // namespace rt
