// Keyboard codes from SDL's key events to Windows' own: virtual-key codes for
// WM_KEYDOWN's wParam, keyboard scan codes for its lParam (and for
// DirectInput's device state); the message and lParam of a key event come
// from key_messages.h.
// Pure functions, no SDL state.
#pragma once

#include <windows.h>

#include <SDL.h>

#include "win32/key_messages.h"

namespace platform {

// The virtual-key code (VK_*) of a key, or 0 for keys Windows has none for.
// Letters and digits follow the keyboard layout (the keycode), as Windows'
// do; every other key follows its position (the scancode).
UINT VkFromSdlKey(SDL_Scancode scancode, SDL_Keycode keycode);

// The keyboard's scan code in DirectInput's numbering (DIK_*): the set-1 make
// code, plus 0x80 for keys whose code comes after an 0xE0 prefix. 0 for keys
// a PC keyboard has no code for.
BYTE ScanCodeFromSdlScancode(SDL_Scancode scancode);

}  // namespace platform
