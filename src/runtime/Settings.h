#pragma once

#include <QString>
#include <chrono>

namespace rt {

// What a test may set about how the game runs, beside the services it may
// swap. The program itself leaves both as they are.
struct Settings {
    // The shortest a spin tick may last; tests set it to zero.
    std::chrono::milliseconds tickFloor{10};
    // The folder media files are read from; empty means the executable's.
    QString programFolder;
};

Settings& settings();

} // namespace rt
