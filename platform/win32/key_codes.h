// Keyboard codes from SDL's key events to Windows' own: virtual-key codes for
// WM_KEYDOWN's wParam, keyboard scan codes for its lParam (and for
// DirectInput's device state), and the message and lParam of a key event.
// Pure functions, no SDL state.
#pragma once

#include <windows.h>

#include <SDL.h>

namespace platform {

// The virtual-key code (VK_*) of a key, or 0 for keys Windows has none for.
// Letters and digits follow the keyboard layout (the keycode), as Windows'
// do; every other key follows its position (the scancode).
UINT VkFromSdlKey(SDL_Scancode scancode, SDL_Keycode keycode);

// The keyboard's scan code in DirectInput's numbering (DIK_*): the set-1 make
// code, plus 0x80 for keys whose code comes after an 0xE0 prefix. 0 for keys
// a PC keyboard has no code for.
BYTE ScanCodeFromSdlScancode(SDL_Scancode scancode);

// WM_KEYDOWN / WM_KEYUP, or the WM_SYS... pair when Alt is held or the key is
// F10 or Alt itself (these go to the system menu on Windows).
UINT KeyMessageId(UINT vk, bool keyUp, bool altHeld);

// lParam of a key message: repeat count 1 (bits 0-15), the scan code (bits
// 16-23), the extended-key flag (bit 24), Alt held (bit 29), the key already
// down (bit 30: auto-repeat, or any key-up) and key up (bit 31).
LPARAM KeyMessageLParam(BYTE scanCode, bool keyUp, bool repeat, bool altHeld);

}  // namespace platform
