#pragma once

#include <SDL.h>
#include <functional>

namespace sound {

// SDL is loaded when sound is first wanted, not with the program: linked in,
// its library and the thirty it brings along (sound servers, codecs, Wayland)
// would load before the first window could paint (the start-up figure in the
// README). These are the calls the cue player makes, each named once, without
// its SDL_. Without all of them SDL counts as missing: no cue file can be
// read, so every cue sounds as the default chime, through the sound server
// where there is one, and in silence, keeping its length, where there is not.
struct SdlLibrary {
    bool loaded = false;
// clang-format off
#define ROLVANGER_SDL_CALLS(CALL) \
    CALL(SetHint) CALL(GetError) CALL(InitSubSystem) CALL(QuitSubSystem) CALL(OpenAudioDevice) \
    CALL(CloseAudioDevice) CALL(PauseAudioDevice) CALL(GetAudioDeviceStatus) CALL(LockAudioDevice) \
    CALL(UnlockAudioDevice) CALL(QueueAudio) CALL(GetQueuedAudioSize) CALL(ClearQueuedAudio) \
    CALL(RWFromFile) CALL(LoadWAV_RW) CALL(FreeWAV) CALL(BuildAudioCVT) CALL(ConvertAudio) \
    CALL(CreateThread) CALL(WaitThread) CALL(GetCurrentAudioDriver)
// clang-format on
#define ROLVANGER_SDL_DECLARE(name) decltype(&SDL_##name) name = nullptr;
    ROLVANGER_SDL_CALLS(ROLVANGER_SDL_DECLARE)
#undef ROLVANGER_SDL_DECLARE
};

// Loaded by whichever thread first asks, and kept.
const SdlLibrary& sdl();

// Runs work on a thread of SDL's making and waits for it. SDL keeps some
// state for each thread that calls it and frees it only for its own threads,
// so whatever opens or closes a device does it there.
void onSdlThread(const std::function<void()>& work);

} // namespace sound
