#include "runtime/Pictures.h"

#include <QFileInfo>
#include <QFont>
#include <QPainter>
#include <QSet>
#include <cstdio>

namespace rt {

std::optional<QPixmap> loadPicture(const QString& path) {
    const QFileInfo file(path);
    // Only plain files are read: opening a pipe put in a picture's place
    // would wait for a writer for ever. QPixmap keeps what it loads until the
    // file changes: a spin shows the same pictures again and again.
    QPixmap picture;
    if (file.isFile() && picture.load(path, "jpeg"))
        return picture;
    static QSet<QString> reported;
    if (!reported.contains(path)) {
        reported.insert(path);
        std::fprintf(stderr, "rolvanger: cannot read picture %s\n", qPrintable(path));
    }
    return std::nullopt;
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
