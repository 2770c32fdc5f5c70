#include "runtime/ProgramInfo.h"

#include "runtime/Seams.h"

#include <QCoreApplication>
#include <QDir>

namespace rt {

QString programFolder() {
    const QString& chosen = seams().programFolder;
    return chosen.isEmpty() ? QCoreApplication::applicationDirPath() : chosen;
}

QString inProgramFolder(const QString& fileName) {
    return QDir::toNativeSeparators(programFolder()) + QDir::separator() + fileName;
}

int versionMajor() {
    return ROLVANGER_VERSION_MAJOR;
}
int versionMinor() {
    return ROLVANGER_VERSION_MINOR;
}
int versionRevision() {
    return ROLVANGER_VERSION_REVISION;
}

} // namespace rt
