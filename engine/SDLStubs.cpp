#include "engine/SDLStubs.h"

namespace sdl {

QV_SDL_FUNCTIONS(QV_DEFINE_CELL)

static void BindSDL(const String& LibFileName, void* Handle) {
    QV_SDL_FUNCTIONS(QV_BIND_CELL)
}

static void ClearSDL() {
    QV_SDL_FUNCTIONS(QV_CLEAR_CELL)
}

} // namespace sdl

void SDLFixup(const String& LibFileName, void* Handle) {
    BindProc(LibFileName, Handle, "SDL_GetVersion", false, sdl::SDL_GetVersion);
    SDL_version Linked{};
    sdl::SDL_GetVersion(&Linked);
    CheckLibraryVersion(LibFileName, (unsigned(Linked.major) << 16) | (unsigned(Linked.minor) << 8) | Linked.patch,
                        SDL_MAJOR_VERSION);
    sdl::BindSDL(LibFileName, Handle);
}

void SDLUnfix() {
    sdl::ClearSDL();
}
