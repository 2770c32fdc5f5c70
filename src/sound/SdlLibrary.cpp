#include "sound/SdlLibrary.h"

#include "sound/Resolve.h"

namespace sound {

namespace {

SdlLibrary load() {
    SdlLibrary sdl;
    QLibrary library(QStringLiteral("SDL2-2.0"), 0); // stays loaded once loaded
    sdl.loaded = library.load() && resolve(library, sdl.SetHint, "SDL_SetHint") &&
                 resolve(library, sdl.GetError, "SDL_GetError") &&
                 resolve(library, sdl.InitSubSystem, "SDL_InitSubSystem") &&
                 resolve(library, sdl.QuitSubSystem, "SDL_QuitSubSystem") &&
                 resolve(library, sdl.GetCurrentAudioDriver, "SDL_GetCurrentAudioDriver") &&
                 resolve(library, sdl.OpenAudioDevice, "SDL_OpenAudioDevice") &&
                 resolve(library, sdl.CloseAudioDevice, "SDL_CloseAudioDevice") &&
                 resolve(library, sdl.PauseAudioDevice, "SDL_PauseAudioDevice") &&
                 resolve(library, sdl.GetAudioDeviceStatus, "SDL_GetAudioDeviceStatus") &&
                 resolve(library, sdl.LockAudioDevice, "SDL_LockAudioDevice") &&
                 resolve(library, sdl.UnlockAudioDevice, "SDL_UnlockAudioDevice") &&
                 resolve(library, sdl.QueueAudio, "SDL_QueueAudio") &&
                 resolve(library, sdl.GetQueuedAudioSize, "SDL_GetQueuedAudioSize") &&
                 resolve(library, sdl.ClearQueuedAudio, "SDL_ClearQueuedAudio") &&
                 resolve(library, sdl.RWFromFile, "SDL_RWFromFile") &&
                 resolve(library, sdl.LoadWAV_RW, "SDL_LoadWAV_RW") &&
                 resolve(library, sdl.FreeWAV, "SDL_FreeWAV") &&
                 resolve(library, sdl.BuildAudioCVT, "SDL_BuildAudioCVT") &&
                 resolve(library, sdl.ConvertAudio, "SDL_ConvertAudio") &&
                 resolve(library, sdl.CreateThread, "SDL_CreateThread") &&
                 resolve(library, sdl.WaitThread, "SDL_WaitThread");
    return sdl;
}

int SDLCALL runWork(void* work) {
    (*static_cast<const std::function<void()>*>(work))();
    return 0;
}

} // namespace

const SdlLibrary& sdl() {
    static const SdlLibrary library = load();
    return library;
}

void onSdlThread(const std::function<void()>& work) {
    SDL_Thread* thread = sdl().loaded
                             ? sdl().CreateThread(&runWork, "rolvanger sound",
                                                  const_cast<std::function<void()>*>(&work))
                             : nullptr;
    if (thread != nullptr) {
        sdl().WaitThread(thread, nullptr);
    } else {
        work();
    }
}

} // namespace sound
