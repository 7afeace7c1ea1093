// DikFromSdlScancode. DirectInput numbers keys by their set-1 scan code with
// 0x80 added for 0xE0-prefixed keys; Win32's key messages carry the same
// codes, so the table lives with them in win32/key_codes.cpp and is shared.
#include "dinput8/scan_codes.h"

#include "win32/key_codes.h"

namespace platform {

BYTE DikFromSdlScancode(SDL_Scancode scancode) { return ScanCodeFromSdlScancode(scancode); }

}  // namespace platform
