#include "runtime/ImageBox.h"

#include <QPainter>

namespace rt {

namespace {

// More than a reel ever shows in turn (seven symbols, the white start, a
// number face), so a stream of fresh pictures cannot make the store grow.
constexpr qsizetype kScaledKept = 16;

} // namespace

ImageBox::ImageBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ImageBox::setPicture(const QPixmap& picture) {
    picture_ = picture;
    update();
}

QRect ImageBox::inside() const {
    return rect().adjusted(1, 1, -1, -1);
}

const QPixmap& ImageBox::shown() {
    const qreal ratio = devicePixelRatioF();
    const QSize device = (QSizeF(inside().size()) * ratio).toSize();
    if (picture_.isNull() || (picture_.size() == device && picture_.devicePixelRatio() == ratio))
        return picture_;
    if (device != scaledFor_ || scaled_.size() >= kScaledKept) {
        scaled_.clear();
        scaledFor_ = device;
    }
    auto found = scaled_.find(picture_.cacheKey());
    if (found == scaled_.end()) {
        QPixmap scaled = picture_.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        scaled.setDevicePixelRatio(ratio);
        found = scaled_.insert(picture_.cacheKey(), scaled);
    }
    return *found;
}

void ImageBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(inside(), shown());
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace rt
