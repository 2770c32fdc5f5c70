#pragma once

#include <SDL.h>
#include <functional>

namespace sound {

// SDL is loaded when sound is first wanted, not with the program: linked in,
// its library and the thirty it brings along (sound servers, codecs, Wayland)
// are loaded before the window can start, which put the start-up ratio to the
// minimal window (budget 1.3) at 1.5. These are the calls the cue player
// makes; without all of them SDL counts as missing, and cues are silent but
// keep their length.
struct SdlLibrary {
    bool loaded = false;
    decltype(&SDL_SetHint) SetHint = nullptr;
    decltype(&SDL_GetError) GetError = nullptr;
    decltype(&SDL_InitSubSystem) InitSubSystem = nullptr;
    decltype(&SDL_QuitSubSystem) QuitSubSystem = nullptr;
    decltype(&SDL_GetCurrentAudioDriver) GetCurrentAudioDriver = nullptr;
    decltype(&SDL_OpenAudioDevice) OpenAudioDevice = nullptr;
    decltype(&SDL_CloseAudioDevice) CloseAudioDevice = nullptr;
    decltype(&SDL_PauseAudioDevice) PauseAudioDevice = nullptr;
    decltype(&SDL_GetAudioDeviceStatus) GetAudioDeviceStatus = nullptr;
    decltype(&SDL_LockAudioDevice) LockAudioDevice = nullptr;
    decltype(&SDL_UnlockAudioDevice) UnlockAudioDevice = nullptr;
    decltype(&SDL_QueueAudio) QueueAudio = nullptr;
    decltype(&SDL_GetQueuedAudioSize) GetQueuedAudioSize = nullptr;
    decltype(&SDL_ClearQueuedAudio) ClearQueuedAudio = nullptr;
    decltype(&SDL_RWFromFile) RWFromFile = nullptr;
    decltype(&SDL_LoadWAV_RW) LoadWAV_RW = nullptr;
    decltype(&SDL_FreeWAV) FreeWAV = nullptr;
    decltype(&SDL_BuildAudioCVT) BuildAudioCVT = nullptr;
    decltype(&SDL_ConvertAudio) ConvertAudio = nullptr;
    decltype(&SDL_CreateThread) CreateThread = nullptr;
    decltype(&SDL_WaitThread) WaitThread = nullptr;
};

// Loaded by whichever thread first asks, and kept.
const SdlLibrary& sdl();

// Runs work on a thread of SDL's making and waits for it. SDL keeps some
// state for each thread that calls it and frees it only for its own threads,
// so whatever opens or closes a device does it there.
void onSdlThread(const std::function<void()>& work);

} // namespace sound
