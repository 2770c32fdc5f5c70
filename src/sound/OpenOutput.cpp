#include "sound/OpenOutput.h"

#include "sound/PulseOutput.h"
#include "sound/SdlLibrary.h"
#include "sound/SdlOutput.h"

#include <QLoggingCategory>
#include <QtGlobal>

namespace sound {

// Where the sound goes, told to whoever asks for it (QT_LOGGING_RULES=
// "rolvanger.sound.info=true"): a player whose sound is heard somewhere
// unexpected, and the tests.
Q_LOGGING_CATEGORY(soundLog, "rolvanger.sound", QtWarningMsg)

namespace {

// What the desktop's mixer lists the game's sound by, where SDL plays it.
void nameTheSound() {
    // SDL would otherwise take over SIGINT and SIGTERM and the program
    // could not be stopped from a terminal.
    sdl().SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    sdl().SetHint(SDL_HINT_APP_NAME, "Brim's Rolvanger");
    sdl().SetHint(SDL_HINT_AUDIO_DEVICE_STREAM_NAME, "Sound effects");
    sdl().SetHint(SDL_HINT_AUDIO_DEVICE_STREAM_ROLE, "game");
}

} // namespace

std::unique_ptr<Output> openOutput(std::string& why) {
    // A player who names an SDL driver gets it; otherwise the desktop's
    // sound server, and SDL's own pick on a machine without one.
    std::string noServer = "SDL_AUDIODRIVER is set";
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER")) {
        if (std::unique_ptr<PulseOutput> server = PulseOutput::open(noServer)) {
            qCInfo(soundLog, "sound goes to the sound server through libpulse");
            return server;
        }
    }
    if (!sdl().loaded) {
        why = "no sound server (" + noServer + ") and SDL 2 could not be loaded";
        return nullptr;
    }
    nameTheSound();
    std::string noDevice;
    if (std::unique_ptr<SdlOutput> device = SdlOutput::open(noDevice)) {
        qCInfo(soundLog, "sound goes to SDL's %s driver", sdl().GetCurrentAudioDriver());
        return device;
    }
    why = "no sound server (" + noServer + ") and no audio device (" + noDevice + ")";
    return nullptr;
}

} // namespace sound
