#pragma once

#include <QString>

namespace rt {

// The folder that holds the executable; every media file is read from there.
QString programFolder();
// The folder, the platform's separator and the file name, as the program
// names its media files. An empty name gives the folder and a separator.
QString inProgramFolder(const QString& fileName);

// The program's version numbers, set once by the build (1.0.0.25).
int versionMajor();
int versionRevision();

} // namespace rt
