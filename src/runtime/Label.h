#pragma once

#include <QLabel>

namespace rt {

// A text label whose Change signal fires only when its caption really
// changes, and which reports clicks and double-clicks like a control would.
class Label : public QLabel {
    Q_OBJECT
public:
    explicit Label(QWidget* parent = nullptr);

    void setCaption(const QString& caption);
    QString caption() const { return text(); }

signals:
    void Change();
    void Click();
    void DblClick();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool swallowNextRelease_ = false;
};

} // namespace rt
