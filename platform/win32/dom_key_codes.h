// Keyboard codes from a web page's key events to Windows' own: the
// virtual-key code (WM_KEYDOWN's wParam) and the keyboard scan code in
// DirectInput's numbering (DIK_*, also WM_KEYDOWN's lParam) of a
// KeyboardEvent.code, which names the key's position ("ArrowUp", "KeyA",
// "NumpadAdd"). Pure functions, no browser needed.
#pragma once

#include <windows.h>

namespace platform {

// VK_* of a key position, or 0 for positions Windows has no key for (and a
// null code). Letters and digits follow the position (a US layout), unlike
// Windows, whose letters follow the layout.
UINT VkFromDomCode(const char* code);

// The set-1 make code, plus 0x80 for keys whose code comes after an 0xE0
// prefix (DirectInput's numbering); 0 for unknown positions.
BYTE ScanCodeFromDomCode(const char* code);

}  // namespace platform
