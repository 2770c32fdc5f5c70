#include "machine/Form1.h"
#include "runtime/LookAndFeel.h"
#include "runtime/NoDisplay.h"
#include "runtime/Prompts.h"
#include "runtime/RandomSource.h"
#include "runtime/WindowSystem.h"
#include "shared/Seams.h"
#include "sound/SystemCuePlayer.h"

#include <QApplication>

int main(int argc, char** argv) {
    rt::chooseWindowSystem();
    rt::reportMissingDisplay();
    QApplication app(argc, argv);
    rt::displayReached();
    rt::setUpLookAndFeel();
    // The services the game reaches outside itself: in before the first
    // window, out after the last one, gone before the application.
    rt::ClockRandomSource random;
    sound::SystemCuePlayer cues;
    rt::QtPrompts prompts;
    seams().install(random, cues, prompts);
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
    seams().remove();
    return status;
}
