#include "runtime/ImageBox.h"

#include <QHash>
#include <QPainter>

namespace rt {

namespace {

// The pictures as painted, at a reel's size in device pixels, by the picture
// they were made from. The reels show the same few pictures again and again,
// so each is scaled once, for all of them, and kept while any reel is there.
QHash<qint64, QPixmap>& scaledPictures() {
    static QHash<qint64, QPixmap> store;
    return store;
}
int liveBoxes = 0;

// More than the reels ever show in turn (seven symbols, the white start, a
// few number faces), so a stream of fresh pictures cannot make the store grow.
constexpr qsizetype kScaledKept = 16;

} // namespace

ImageBox::ImageBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    ++liveBoxes;
}

ImageBox::~ImageBox() {
    if (--liveBoxes == 0)
        scaledPictures().clear();
}

void ImageBox::setPicture(const QPixmap& picture) {
    picture_ = picture;
    update();
}

QRect ImageBox::inside() const {
    return rect().adjusted(1, 1, -1, -1);
}

QPixmap ImageBox::shown() const {
    const qreal ratio = devicePixelRatioF();
    const QSize device = (QSizeF(inside().size()) * ratio).toSize();
    if (picture_.isNull() || (picture_.size() == device && picture_.devicePixelRatio() == ratio))
        return picture_;
    QHash<qint64, QPixmap>& store = scaledPictures();
    auto found = store.find(picture_.cacheKey());
    if (found == store.end() || found->size() != device || found->devicePixelRatio() != ratio) {
        if (store.size() >= kScaledKept)
            store.clear();
        QPixmap scaled = picture_.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        scaled.setDevicePixelRatio(ratio);
        found = store.insert(picture_.cacheKey(), scaled);
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
