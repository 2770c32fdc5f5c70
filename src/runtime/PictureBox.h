#pragma once

#include <QPixmap>
#include <QWidget>

namespace rt {

// Shows a picture at its natural size from the top-left corner, unscaled, on
// its back colour, and reports the mouse like a control: MouseDown and MouseUp
// for every button, then Click when the button is released over it.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    void setPicture(const QPixmap& picture);
    const QPixmap& picture() const { return picture_; }

signals:
    void MouseDown();
    void MouseUp();
    void Click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPixmap picture_;
};

} // namespace rt
