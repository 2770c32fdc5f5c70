#include "runtime/NoDisplay.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>

namespace rt {

namespace {

QtMessageHandler passOn = nullptr;

// While the application object is being made, a fatal message means that no
// window system could be reached. Qt's own advice ("reinstalling may fix
// this") would mislead, and its abort would leave a core dump.
void whileConnecting(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtFatalMsg) {
        if (passOn)
            passOn(type, context, message);
        else
            std::fprintf(stderr, "%s\n", qPrintable(message));
        return;
    }
    const QByteArray display = qgetenv("DISPLAY");
    std::fprintf(stderr,
                 "rolvanger: no display to show the windows on (DISPLAY is %s); start the game "
                 "from a desktop session\n",
                 display.isEmpty() ? "not set" : display.constData());
    std::fflush(stderr);
    std::_Exit(1);
}

} // namespace

void reportMissingDisplay() {
    passOn = qInstallMessageHandler(whileConnecting);
}

void displayReached() {
    qInstallMessageHandler(passOn);
}

} // namespace rt
