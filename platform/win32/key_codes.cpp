// SDL key events to Windows key codes: virtual keys and scan codes.
// Limits: US-layout positions for the punctuation keys (VK_OEM_*); Windows'
// left/right modifier virtual keys collapse to VK_SHIFT/VK_CONTROL/VK_MENU as
// in WM_KEYDOWN; keys beyond a 105-key PC keyboard map to 0.
#include "win32/key_codes.h"

#include "win32/virtual_keys.h"

namespace platform {
namespace {

constexpr BYTE kExtended = 0x80;

}  // namespace

UINT VkFromSdlKey(SDL_Scancode scancode, SDL_Keycode keycode) {
  if (keycode >= SDLK_a && keycode <= SDLK_z) return static_cast<UINT>('A' + (keycode - SDLK_a));
  if (keycode >= SDLK_0 && keycode <= SDLK_9) return static_cast<UINT>('0' + (keycode - SDLK_0));
  // Layouts whose keys give no Latin letter: fall back to the key's position.
  if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
    return static_cast<UINT>('A' + (scancode - SDL_SCANCODE_A));
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9)
    return static_cast<UINT>('1' + (scancode - SDL_SCANCODE_1));
  if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12)
    return static_cast<UINT>(VK_F1 + (scancode - SDL_SCANCODE_F1));
  if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9)
    return static_cast<UINT>(VK_NUMPAD0 + 1 + (scancode - SDL_SCANCODE_KP_1));
  switch (scancode) {
    case SDL_SCANCODE_0: return '0';
    case SDL_SCANCODE_RETURN: return VK_RETURN;
    case SDL_SCANCODE_ESCAPE: return VK_ESCAPE;
    case SDL_SCANCODE_BACKSPACE: return VK_BACK;
    case SDL_SCANCODE_TAB: return VK_TAB;
    case SDL_SCANCODE_SPACE: return VK_SPACE;
    case SDL_SCANCODE_MINUS: return kVkOemMinus;
    case SDL_SCANCODE_EQUALS: return kVkOemPlus;
    case SDL_SCANCODE_LEFTBRACKET: return kVkOem4;
    case SDL_SCANCODE_RIGHTBRACKET: return kVkOem6;
    case SDL_SCANCODE_BACKSLASH: return kVkOem5;
    case SDL_SCANCODE_NONUSHASH: return kVkOem5;
    case SDL_SCANCODE_SEMICOLON: return kVkOem1;
    case SDL_SCANCODE_APOSTROPHE: return kVkOem7;
    case SDL_SCANCODE_GRAVE: return kVkOem3;
    case SDL_SCANCODE_COMMA: return kVkOemComma;
    case SDL_SCANCODE_PERIOD: return kVkOemPeriod;
    case SDL_SCANCODE_SLASH: return kVkOem2;
    case SDL_SCANCODE_NONUSBACKSLASH: return kVkOem102;
    case SDL_SCANCODE_CAPSLOCK: return kVkCapital;
    case SDL_SCANCODE_PRINTSCREEN: return kVkSnapshot;
    case SDL_SCANCODE_SCROLLLOCK: return kVkScroll;
    case SDL_SCANCODE_PAUSE: return kVkPause;
    case SDL_SCANCODE_INSERT: return VK_INSERT;
    case SDL_SCANCODE_HOME: return VK_HOME;
    case SDL_SCANCODE_PAGEUP: return VK_PRIOR;
    case SDL_SCANCODE_DELETE: return VK_DELETE;
    case SDL_SCANCODE_END: return VK_END;
    case SDL_SCANCODE_PAGEDOWN: return VK_NEXT;
    case SDL_SCANCODE_RIGHT: return VK_RIGHT;
    case SDL_SCANCODE_LEFT: return VK_LEFT;
    case SDL_SCANCODE_DOWN: return VK_DOWN;
    case SDL_SCANCODE_UP: return VK_UP;
    case SDL_SCANCODE_NUMLOCKCLEAR: return VK_NUMLOCK;
    case SDL_SCANCODE_KP_DIVIDE: return VK_DIVIDE;
    case SDL_SCANCODE_KP_MULTIPLY: return VK_MULTIPLY;
    case SDL_SCANCODE_KP_MINUS: return VK_SUBTRACT;
    case SDL_SCANCODE_KP_PLUS: return VK_ADD;
    case SDL_SCANCODE_KP_ENTER: return VK_RETURN;
    case SDL_SCANCODE_KP_0: return VK_NUMPAD0;
    case SDL_SCANCODE_KP_PERIOD: return VK_DECIMAL;
    case SDL_SCANCODE_APPLICATION: return kVkApps;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL: return VK_CONTROL;
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT: return VK_SHIFT;
    case SDL_SCANCODE_LALT:
    case SDL_SCANCODE_RALT: return VK_MENU;
    case SDL_SCANCODE_LGUI: return kVkLWin;
    case SDL_SCANCODE_RGUI: return kVkRWin;
    default: return 0;
  }
}

BYTE ScanCodeFromSdlScancode(SDL_Scancode scancode) {
  // Letters in the order of the keyboard rows' make codes.
  static const BYTE kLetters[26] = {
      0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,  // A-M
      0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C,  // N-Z
  };
  if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
    return kLetters[scancode - SDL_SCANCODE_A];
  // SDL orders 1..9, 0; so do the make codes 0x02..0x0B.
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_0)
    return static_cast<BYTE>(0x02 + (scancode - SDL_SCANCODE_1));
  if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F10)
    return static_cast<BYTE>(0x3B + (scancode - SDL_SCANCODE_F1));
  switch (scancode) {
    case SDL_SCANCODE_ESCAPE: return 0x01;
    case SDL_SCANCODE_MINUS: return 0x0C;
    case SDL_SCANCODE_EQUALS: return 0x0D;
    case SDL_SCANCODE_BACKSPACE: return 0x0E;
    case SDL_SCANCODE_TAB: return 0x0F;
    case SDL_SCANCODE_LEFTBRACKET: return 0x1A;
    case SDL_SCANCODE_RIGHTBRACKET: return 0x1B;
    case SDL_SCANCODE_RETURN: return 0x1C;
    case SDL_SCANCODE_LCTRL: return 0x1D;
    case SDL_SCANCODE_SEMICOLON: return 0x27;
    case SDL_SCANCODE_APOSTROPHE: return 0x28;
    case SDL_SCANCODE_GRAVE: return 0x29;
    case SDL_SCANCODE_LSHIFT: return 0x2A;
    case SDL_SCANCODE_BACKSLASH: return 0x2B;
    case SDL_SCANCODE_NONUSHASH: return 0x2B;  // same key position on ISO boards
    case SDL_SCANCODE_COMMA: return 0x33;
    case SDL_SCANCODE_PERIOD: return 0x34;
    case SDL_SCANCODE_SLASH: return 0x35;
    case SDL_SCANCODE_RSHIFT: return 0x36;
    case SDL_SCANCODE_KP_MULTIPLY: return 0x37;
    case SDL_SCANCODE_LALT: return 0x38;
    case SDL_SCANCODE_SPACE: return 0x39;
    case SDL_SCANCODE_CAPSLOCK: return 0x3A;
    case SDL_SCANCODE_NUMLOCKCLEAR: return 0x45;
    case SDL_SCANCODE_SCROLLLOCK: return 0x46;
    case SDL_SCANCODE_KP_7: return 0x47;
    case SDL_SCANCODE_KP_8: return 0x48;
    case SDL_SCANCODE_KP_9: return 0x49;
    case SDL_SCANCODE_KP_MINUS: return 0x4A;
    case SDL_SCANCODE_KP_4: return 0x4B;
    case SDL_SCANCODE_KP_5: return 0x4C;
    case SDL_SCANCODE_KP_6: return 0x4D;
    case SDL_SCANCODE_KP_PLUS: return 0x4E;
    case SDL_SCANCODE_KP_1: return 0x4F;
    case SDL_SCANCODE_KP_2: return 0x50;
    case SDL_SCANCODE_KP_3: return 0x51;
    case SDL_SCANCODE_KP_0: return 0x52;
    case SDL_SCANCODE_KP_PERIOD: return 0x53;
    case SDL_SCANCODE_NONUSBACKSLASH: return 0x56;
    case SDL_SCANCODE_F11: return 0x57;
    case SDL_SCANCODE_F12: return 0x58;
    case SDL_SCANCODE_KP_ENTER: return kExtended | 0x1C;
    case SDL_SCANCODE_RCTRL: return kExtended | 0x1D;
    case SDL_SCANCODE_KP_DIVIDE: return kExtended | 0x35;
    case SDL_SCANCODE_PRINTSCREEN: return kExtended | 0x37;
    case SDL_SCANCODE_RALT: return kExtended | 0x38;
    case SDL_SCANCODE_PAUSE: return kExtended | 0x45;
    case SDL_SCANCODE_HOME: return kExtended | 0x47;
    case SDL_SCANCODE_UP: return kExtended | 0x48;
    case SDL_SCANCODE_PAGEUP: return kExtended | 0x49;
    case SDL_SCANCODE_LEFT: return kExtended | 0x4B;
    case SDL_SCANCODE_RIGHT: return kExtended | 0x4D;
    case SDL_SCANCODE_END: return kExtended | 0x4F;
    case SDL_SCANCODE_DOWN: return kExtended | 0x50;
    case SDL_SCANCODE_PAGEDOWN: return kExtended | 0x51;
    case SDL_SCANCODE_INSERT: return kExtended | 0x52;
    case SDL_SCANCODE_DELETE: return kExtended | 0x53;
    case SDL_SCANCODE_LGUI: return kExtended | 0x5B;
    case SDL_SCANCODE_RGUI: return kExtended | 0x5C;
    case SDL_SCANCODE_APPLICATION: return kExtended | 0x5D;
    default: return 0;
  }
}

}  // namespace platform
