#include "runtime/ProgramInfo.h"

#include "runtime/Settings.h"

#include <QCoreApplication>
#include <QDir>

namespace rt {

QString programFolder() {
    const QString& chosen = settings().programFolder;
    return chosen.isEmpty() ? QCoreApplication::applicationDirPath() : chosen;
}

QString inProgramFolder(const QString& fileName) {
    return QDir::toNativeSeparators(programFolder()) + QDir::separator() + fileName;
}

int versionMajor() {
    return ROLVANGER_VERSION_MAJOR;
}
int versionRevision() {
    return ROLVANGER_VERSION_REVISION;
}

} // namespace rt
