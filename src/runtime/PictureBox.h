#pragma once

#include <QAbstractButton>
#include <QPixmap>

namespace rt {

// Shows a picture at its natural size from the top-left corner, unscaled, on
// its back colour, and is pressed as a push button is (pressed, released and
// then clicked), with what a lever adds to Qt's button:
// - every mouse button presses it, and it stays down until the last one is
//   let go, wherever the pointer is; only a release over it clicks. The
//   second press of a double-click is not a press, so a double-click is one
//   click;
// - with the focus, Space holds it down and clicks on its release, Enter
//   clicks at once; a held key does not repeat (HeldKey.h);
// - assistive technology sees a push button with Qt's Press action, which
//   shows it down for a moment before the click.
class PictureBox : public QAbstractButton {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    void setPicture(const QPixmap& picture);
    const QPixmap& picture() const { return picture_; }

    // Sets what assistive technology reads as the description and tells it
    // so even when the text is the same, since a repeated result is news too.
    void tellDescription(const QString& description);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QPixmap picture_;
};

} // namespace rt
