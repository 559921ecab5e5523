// Entry points of SDL2: audio output only (no video, never SDL_Quit), bound at run time.
// Engine code calls them as sdl::name(...); see "Engine bindings" in DEVELOPERS.md.
#pragma once

#include "engine/MyUtils.h"

extern "C" {
#include <SDL.h>
}

// Every name is required and bound in this order; the version function comes first so that a
// library of another major version is refused before anything else is looked up.
#define QV_SDL_FUNCTIONS(X)                                                                                            \
    X(SDL_GetVersion)                                                                                                  \
    X(SDL_Init)                                                                                                        \
    X(SDL_InitSubSystem)                                                                                               \
    X(SDL_QuitSubSystem)                                                                                               \
    X(SDL_WasInit)                                                                                                     \
    X(SDL_GetError)                                                                                                    \
    X(SDL_ClearError)                                                                                                  \
    X(SDL_setenv)                                                                                                      \
    X(SDL_getenv)                                                                                                      \
    X(SDL_SetHint)                                                                                                     \
    X(SDL_AudioInit)                                                                                                   \
    X(SDL_AudioQuit)                                                                                                   \
    X(SDL_GetNumAudioDrivers)                                                                                          \
    X(SDL_GetAudioDriver)                                                                                              \
    X(SDL_GetCurrentAudioDriver)                                                                                       \
    X(SDL_GetNumAudioDevices)                                                                                          \
    X(SDL_GetAudioDeviceName)                                                                                          \
    X(SDL_OpenAudioDevice)                                                                                             \
    X(SDL_CloseAudioDevice)                                                                                            \
    X(SDL_PauseAudioDevice)                                                                                            \
    X(SDL_GetAudioDeviceStatus)                                                                                        \
    X(SDL_LockAudioDevice)                                                                                             \
    X(SDL_UnlockAudioDevice)                                                                                           \
    X(SDL_MixAudioFormat)                                                                                              \
    X(SDL_QueueAudio)                                                                                                  \
    X(SDL_GetQueuedAudioSize)                                                                                          \
    X(SDL_ClearQueuedAudio)                                                                                            \
    X(SDL_Delay)                                                                                                       \
    X(SDL_GetTicks)

namespace sdl {
QV_SDL_FUNCTIONS(QV_DECLARE_CELL)
} // namespace sdl

// Binds every cell from the loaded module (raising the loader's error text for a missing name) and
// clears them again.
void SDLFixup(const String& LibFileName, void* Handle);
void SDLUnfix();
