#include "sound/SdlLibrary.h"

#include "sound/Resolve.h"

namespace sound {

namespace {

int SDLCALL runWork(void* work) {
    (*static_cast<const std::function<void()>*>(work))();
    return 0;
}

} // namespace

const SdlLibrary& sdl() {
    static const auto library =
        loadLibrary<SdlLibrary>("SDL2-2.0", "SDL_", [](LookUp lookUp, SdlLibrary& table) {
            return true ROLVANGER_SDL_CALLS(ROLVANGER_LOOK_UP);
        });
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
