#include "machine/Form1.h"
#include "runtime/LookAndFeel.h"
#include "runtime/NoDisplay.h"
#include "runtime/Seams.h"
#include "runtime/WindowSystem.h"

#include <QApplication>

int main(int argc, char** argv) {
    rt::chooseWindowSystem();
    rt::reportMissingDisplay();
    QApplication app(argc, argv);
    rt::displayReached();
    rt::setUpLookAndFeel();
    rt::installRealServices();
    int status = 0;
    {
        Form1 machine;
        machine.show();
        // The start-up window takes the keyboard, so that Space and Enter pull
        // the lever at once: a window manager may not give it to a window on
        // its own (openbox on an empty desktop does not).
        machine.activateWindow();
        status = QApplication::exec();
    }
    // Windows unloaded on the way out are deleted before the services go.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    rt::releaseRealServices();
    return status;
}
