#include "runtime/CommandButton.h"

namespace rt {

CommandButton::CommandButton(QWidget* parent) : QPushButton(parent) {
    setAutoDefault(false);
}

void CommandButton::setBackColour(QColor colour) {
    QPalette pal = palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        pal.setColor(group, QPalette::Button, colour);
    setPalette(pal);
}

QColor CommandButton::backColour() const {
    return palette().color(QPalette::Button);
}

} // namespace rt
