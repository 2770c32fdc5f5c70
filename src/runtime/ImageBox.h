#pragma once

#include <QHash>
#include <QPixmap>
#include <QWidget>

namespace rt {

// Shows a picture scaled to fill the whole area, inside a thin single-line
// border. Takes no input.
class ImageBox : public QWidget {
    Q_OBJECT
public:
    explicit ImageBox(QWidget* parent = nullptr);

    void setPicture(const QPixmap& picture);
    const QPixmap& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect inside() const;
    const QPixmap& shown();

    QPixmap picture_;
    // The pictures as painted, at the area's size in device pixels, by the
    // picture they were made from: a reel shows the same few pictures again
    // and again, and each is scaled once.
    QHash<qint64, QPixmap> scaled_;
    QSize scaledFor_;
};

} // namespace rt
