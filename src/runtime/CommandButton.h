#pragma once

#include <QPushButton>

namespace rt {

// A push button; given a back colour it becomes colour-faced, its face filled
// with that colour instead of the system button face, enabled or not.
class CommandButton : public QPushButton {
    Q_OBJECT
public:
    explicit CommandButton(QWidget* parent = nullptr);

    void setBackColour(QColor colour);
    QColor backColour() const;
};

} // namespace rt
