// Any bytes as a picture file: loading must never crash, and gives either
// nothing (the reel then shows its number) or a picture that can be drawn
// into a reel the way the reels draw theirs.
#include "runtime/Pictures.h"

#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmapCache>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

QTemporaryDir* folder = nullptr;

[[noreturn]] void fault(const char* what) {
    std::fprintf(stderr, "picture fault: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    // Every input is decoded afresh, not found in the cache under its name.
    QPixmapCache::setCacheLimit(0);
    folder = new QTemporaryDir();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString name = folder->filePath(QStringLiteral("1.jpg"));
    {
        QFile file(name);
        if (!file.open(QIODevice::WriteOnly))
            fault("cannot write the picture file");
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    if (const auto picture = rt::loadPicture(name)) {
        if (picture->isNull() || picture->width() <= 0 || picture->height() <= 0)
            fault("an empty picture was given as loaded");
        // As a reel draws it: scaled into 121 x 105.
        QPixmap reel(121, 105);
        reel.fill(Qt::white);
        QPainter painter(&reel);
        painter.drawPixmap(reel.rect(), *picture);
    }
    return 0;
}
