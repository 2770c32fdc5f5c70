#pragma once

#include <QPixmap>
#include <QWidget>

namespace rt {

// Shows a picture scaled to fill the whole area, inside a thin single-line
// border. Takes no input.
class ImageBox : public QWidget {
    Q_OBJECT
public:
    explicit ImageBox(QWidget* parent = nullptr);
    ~ImageBox() override;

    void setPicture(const QPixmap& picture);
    const QPixmap& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect inside() const;
    // The picture at the area's size in device pixels, scaled once.
    QPixmap shown() const;

    QPixmap picture_;
};

} // namespace rt
