#pragma once

#include <QElapsedTimer>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

namespace rt {

// Shows a picture at its natural size from the top-left corner, unscaled, on
// its back colour, and is pressed like a push button. Every way of pressing
// it raises MouseDown, MouseUp and then Click, in that order:
// - any mouse button: MouseDown and MouseUp for every button, then Click when
//   the last one is released over it; the second press of a double-click is
//   not a press, so a double-click is one Click;
// - with the focus, Space (MouseDown while held, MouseUp and Click on its
//   release) and Enter (all three at once); a held key does not repeat;
// - assistive technology's Press action, which it sees as a push button's.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    void setPicture(const QPixmap& picture);
    const QPixmap& picture() const { return picture_; }

    // A press as assistive technology makes it: down now, up and Click a
    // moment later, once the caller has its answer. Ignored while one is
    // under way.
    void animatePress();

    // Sets what assistive technology reads as the description and tells it
    // so even when the text is the same, since a repeated result is news too.
    void tellDescription(const QString& description);

signals:
    void MouseDown();
    void MouseUp();
    void Click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void release();
    bool repeats(const QKeyEvent& press) const;

    QPixmap picture_;
    bool inDoubleClick_ = false; // until every button of a double-click is up
    int heldKey_ = 0;            // Space or Enter while it is down, or 0
    int releasedKey_ = 0;
    QElapsedTimer sinceRelease_;
    QTimer releaseLater_; // MouseUp and Click still to come
};

} // namespace rt
