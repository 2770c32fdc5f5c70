#pragma once

#include <QCheckBox>

namespace rt {

// A check box whose value is 0 or 1. Its box may stand at the right-hand end
// of its area; a click anywhere on the area toggles it.
class CheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit CheckBox(QWidget* parent = nullptr);

    int value() const { return isChecked() ? 1 : 0; }
    void putBoxOnRight();

protected:
    bool hitButton(const QPoint& pos) const override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool boxOnRight_ = false;
};

} // namespace rt
