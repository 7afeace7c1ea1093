// SDL's key positions to DirectInput's keyboard scan codes (DIK_*).
#pragma once

#include <windows.h>

#include <SDL.h>

namespace platform {

// The DIK_* index of a key in the 256-byte keyboard state; 0 for keys a PC
// keyboard does not have.
BYTE DikFromSdlScancode(SDL_Scancode scancode);

}  // namespace platform
