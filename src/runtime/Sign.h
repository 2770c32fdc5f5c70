#pragma once

#include "runtime/Label.h"

namespace rt {

// A label that is switched on and off many times a second, like a lamp: off,
// it paints only its background. Taking a child widget off the screen and
// back costs a round trip to the display server whenever the pointer rests
// over the window; a lamp costs one repaint. Assistive technology sees an
// unlit sign as hidden, as it would a hidden label; clicks pass through to
// the window either way.
class Sign : public Label {
    Q_OBJECT
public:
    explicit Sign(QWidget* parent = nullptr);

    bool isLit() const { return lit_; }
    void setLit(bool lit);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool lit_ = true;
};

} // namespace rt
