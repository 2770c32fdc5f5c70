#pragma once

#include <QPushButton>

namespace rt {

// A push button; given a back colour it becomes colour-faced: its face is
// that colour, flat, in every state, inside a raised edge that sinks while
// the button is held down. Buttons without a back colour keep the style's
// own face.
class CommandButton : public QPushButton {
    Q_OBJECT
public:
    explicit CommandButton(QWidget* parent = nullptr);

    void setBackColour(QColor colour);
    QColor backColour() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPalette edges() const;

    bool colourFaced_ = false;
};

} // namespace rt
