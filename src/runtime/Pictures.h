#pragma once

#include <QPixmap>
#include <QString>
#include <optional>

namespace rt {

// Loads a JPEG picture. A file that is missing or unreadable gives nullopt,
// and its name is written to stderr the first time only.
std::optional<QPixmap> loadPicture(const QString& path);

// What a reel shows when its symbol picture cannot be read: a white face with
// the symbol's number drawn large in black.
QPixmap numberFace(int number, QSize size);

} // namespace rt
