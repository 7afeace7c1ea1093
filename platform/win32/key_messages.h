// The message and lParam of a key event, whichever windowing system reported
// it (SDL on the desktop, the page's key events in a browser). Pure functions.
#pragma once

#include <windows.h>

namespace platform {

// WM_KEYDOWN / WM_KEYUP, or the WM_SYS... pair when Alt is held or the key is
// F10 or Alt itself (these go to the system menu on Windows).
UINT KeyMessageId(UINT vk, bool keyUp, bool altHeld);

// lParam of a key message: repeat count 1 (bits 0-15), the scan code (bits
// 16-23; 0x80 in the code sets the extended-key flag, bit 24), Alt held
// (bit 29), the key already down (bit 30: auto-repeat, or any key-up) and
// key up (bit 31).
LPARAM KeyMessageLParam(BYTE scanCode, bool keyUp, bool repeat, bool altHeld);

}  // namespace platform
