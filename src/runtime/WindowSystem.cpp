#include "runtime/WindowSystem.h"

#include <QByteArray>
#include <QtGlobal>

namespace rt {

void chooseWindowSystem() {
    // Wayland natively when X cannot be reached after all.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb;wayland");
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
}

} // namespace rt
