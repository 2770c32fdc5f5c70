#include "runtime/Pictures.h"

#include <QDateTime>
#include <QFileInfo>
#include <QFont>
#include <QImageReader>
#include <QPainter>
#include <QPixmapCache>
#include <QSet>
#include <cstdio>

namespace rt {

namespace {

// Reads with the reader of the picture's own format alone. Left to find one
// itself, Qt first loads every image plugin there is (the SVG one brings Qt
// SVG along) to ask each, which costs the window's start-up more than reading
// its pictures does.
QPixmap readPicture(const QString& path, const QByteArray& format) {
    QImageReader reader(path, format);
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

} // namespace

std::optional<QPixmap> loadPicture(const QString& path) {
    const QFileInfo file(path);
    // Only plain files are read: opening a pipe put in a picture's place
    // would wait for a writer for ever.
    if (file.isFile()) {
        // A spin shows the same pictures again and again: they are kept, as
        // QPixmap::load keeps them, until the file changes.
        const QString key = QStringLiteral("rolvanger:%1:%2:%3")
                                .arg(file.absoluteFilePath())
                                .arg(file.lastModified().toMSecsSinceEpoch())
                                .arg(file.size());
        QPixmap picture;
        if (QPixmapCache::find(key, &picture))
            return picture;
        picture = readPicture(path, "jpeg");
        if (!picture.isNull()) {
            QPixmapCache::insert(key, picture);
            return picture;
        }
    }
    static QSet<QString> reported;
    if (!reported.contains(path)) {
        reported.insert(path);
        std::fprintf(stderr, "rolvanger: cannot read picture %s\n", qPrintable(path));
    }
    return std::nullopt;
}

QPixmap storedPicture(const QString& resourcePath) {
    return readPicture(resourcePath, QFileInfo(resourcePath).suffix().toLatin1());
}

QPixmap numberFace(int number, QSize size) {
    QPixmap face(size);
    face.fill(Qt::white);
    QPainter painter(&face);
    QFont font;
    font.setBold(true);
    font.setPixelSize(size.height() * 2 / 3);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(face.rect(), Qt::AlignCenter, QString::number(number));
    return face;
}

} // namespace rt
