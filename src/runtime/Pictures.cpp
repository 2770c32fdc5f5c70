#include "runtime/Pictures.h"

#include <QFileInfo>
#include <QFont>
#include <QPainter>
#include <QSet>
#include <cstdio>

namespace rt {

std::optional<QPixmap> loadPicture(const QString& path) {
    QPixmap picture;
    // Only plain files are read: opening a pipe put in a picture's place
    // would wait for a writer for ever.
    if (QFileInfo(path).isFile() && picture.load(path, "JPEG") && !picture.isNull())
        return picture;
    static QSet<QString> reported;
    if (!reported.contains(path)) {
        reported.insert(path);
        std::fprintf(stderr, "rolvanger: cannot read picture %s\n", qPrintable(path));
    }
    return std::nullopt;
}

QPixmap storedPicture(const QString& resourcePath) {
    QPixmap picture(resourcePath);
    return picture;
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
