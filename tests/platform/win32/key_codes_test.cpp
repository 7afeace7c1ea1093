// SDL key events to Windows' virtual keys, scan codes and key-message
// parameters.
#include "win32/key_codes.h"

#include <gtest/gtest.h>

namespace {

using platform::KeyMessageId;
using platform::KeyMessageLParam;
using platform::ScanCodeFromSdlScancode;
using platform::VkFromSdlKey;

struct VkCase {
  SDL_Scancode scancode;
  SDL_Keycode keycode;
  UINT vk;
  const char* name;
};

TEST(Win32KeyCodes, VirtualKeysOfTheKeysTheProgramUses) {
  const VkCase cases[] = {
      {SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, VK_ESCAPE, "Escape"},
      {SDL_SCANCODE_LEFT, SDLK_LEFT, VK_LEFT, "Left"},
      {SDL_SCANCODE_UP, SDLK_UP, VK_UP, "Up"},
      {SDL_SCANCODE_RIGHT, SDLK_RIGHT, VK_RIGHT, "Right"},
      {SDL_SCANCODE_DOWN, SDLK_DOWN, VK_DOWN, "Down"},
      {SDL_SCANCODE_PAGEUP, SDLK_PAGEUP, VK_PRIOR, "Page Up"},
      {SDL_SCANCODE_PAGEDOWN, SDLK_PAGEDOWN, VK_NEXT, "Page Down"},
      {SDL_SCANCODE_HOME, SDLK_HOME, VK_HOME, "Home"},
      {SDL_SCANCODE_END, SDLK_END, VK_END, "End"},
      {SDL_SCANCODE_INSERT, SDLK_INSERT, VK_INSERT, "Insert"},
      {SDL_SCANCODE_DELETE, SDLK_DELETE, VK_DELETE, "Delete"},
      {SDL_SCANCODE_KP_PLUS, SDLK_KP_PLUS, VK_ADD, "keypad +"},
      {SDL_SCANCODE_KP_MINUS, SDLK_KP_MINUS, VK_SUBTRACT, "keypad -"},
      {SDL_SCANCODE_KP_MULTIPLY, SDLK_KP_MULTIPLY, VK_MULTIPLY, "keypad *"},
      {SDL_SCANCODE_KP_DIVIDE, SDLK_KP_DIVIDE, VK_DIVIDE, "keypad /"},
      {SDL_SCANCODE_KP_0, SDLK_KP_0, VK_NUMPAD0, "keypad 0"},
      {SDL_SCANCODE_KP_1, SDLK_KP_1, VK_NUMPAD0 + 1, "keypad 1"},
      {SDL_SCANCODE_KP_9, SDLK_KP_9, VK_NUMPAD0 + 9, "keypad 9"},
      {SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD, VK_DECIMAL, "keypad ."},
      {SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, VK_RETURN, "keypad Enter"},
      {SDL_SCANCODE_F1, SDLK_F1, VK_F1, "F1"},
      {SDL_SCANCODE_F4, SDLK_F4, VK_F4, "F4"},
      {SDL_SCANCODE_F12, SDLK_F12, VK_F1 + 11, "F12"},
      {SDL_SCANCODE_SPACE, SDLK_SPACE, VK_SPACE, "Space"},
      {SDL_SCANCODE_RETURN, SDLK_RETURN, VK_RETURN, "Return"},
      {SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, VK_BACK, "Backspace"},
      {SDL_SCANCODE_TAB, SDLK_TAB, VK_TAB, "Tab"},
      {SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, VK_SHIFT, "left Shift"},
      {SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, VK_SHIFT, "right Shift"},
      {SDL_SCANCODE_LCTRL, SDLK_LCTRL, VK_CONTROL, "left Ctrl"},
      {SDL_SCANCODE_RCTRL, SDLK_RCTRL, VK_CONTROL, "right Ctrl"},
      {SDL_SCANCODE_LALT, SDLK_LALT, VK_MENU, "left Alt"},
      {SDL_SCANCODE_RALT, SDLK_RALT, VK_MENU, "right Alt"},
      {SDL_SCANCODE_NUMLOCKCLEAR, SDLK_NUMLOCKCLEAR, VK_NUMLOCK, "Num Lock"},
      {SDL_SCANCODE_A, SDLK_a, 'A', "A"},
      {SDL_SCANCODE_Z, SDLK_z, 'Z', "Z"},
      {SDL_SCANCODE_1, SDLK_1, '1', "1"},
      {SDL_SCANCODE_0, SDLK_0, '0', "0"},
      {SDL_SCANCODE_MINUS, SDLK_MINUS, 0xBD, "main-keyboard minus (VK_OEM_MINUS)"},
      {SDL_SCANCODE_EQUALS, SDLK_EQUALS, 0xBB, "main-keyboard equals (VK_OEM_PLUS)"},
  };
  for (const VkCase& c : cases) {
    EXPECT_EQ(VkFromSdlKey(c.scancode, c.keycode), c.vk) << c.name;
  }
}

TEST(Win32KeyCodes, LettersFollowTheLayoutOtherKeysTheirPosition) {
  // French AZERTY: the key at QWERTY's Q position types 'a'.
  EXPECT_EQ(VkFromSdlKey(SDL_SCANCODE_Q, SDLK_a), UINT{'A'});
  // A layout without Latin letters falls back to the position.
  EXPECT_EQ(VkFromSdlKey(SDL_SCANCODE_Q, 0x0439 /* Cyrillic short i */), UINT{'Q'});
  // Keypad keys stay keypad keys whatever character they type.
  EXPECT_EQ(VkFromSdlKey(SDL_SCANCODE_KP_MINUS, SDLK_MINUS), UINT{VK_SUBTRACT});
  EXPECT_NE(VkFromSdlKey(SDL_SCANCODE_MINUS, SDLK_MINUS), UINT{VK_SUBTRACT});
}

TEST(Win32KeyCodes, KeysWithoutAVirtualKeyGiveZero) {
  EXPECT_EQ(VkFromSdlKey(SDL_SCANCODE_UNKNOWN, SDLK_UNKNOWN), 0u);
  EXPECT_EQ(VkFromSdlKey(SDL_SCANCODE_MUTE, SDLK_MUTE), 0u);
}

TEST(Win32KeyCodes, ScanCodesAreSetOneWithTheExtendedBitAt0x80) {
  EXPECT_EQ(ScanCodeFromSdlScancode(SDL_SCANCODE_ESCAPE), 0x01);
  EXPECT_EQ(ScanCodeFromSdlScancode(SDL_SCANCODE_Q), 0x10);
  EXPECT_EQ(ScanCodeFromSdlScancode(SDL_SCANCODE_KP_8), 0x48);
  EXPECT_EQ(ScanCodeFromSdlScancode(SDL_SCANCODE_UP), 0xC8);
  EXPECT_EQ(ScanCodeFromSdlScancode(SDL_SCANCODE_KP_ENTER), 0x9C);
  EXPECT_EQ(ScanCodeFromSdlScancode(SDL_SCANCODE_UNKNOWN), 0x00);
}

TEST(Win32KeyCodes, SystemKeyMessagesWithAltOrF10) {
  EXPECT_EQ(KeyMessageId(VK_ESCAPE, false, false), UINT{WM_KEYDOWN});
  EXPECT_EQ(KeyMessageId(VK_ESCAPE, true, false), UINT{WM_KEYUP});
  EXPECT_EQ(KeyMessageId(VK_F4, false, true), UINT{WM_SYSKEYDOWN});
  EXPECT_EQ(KeyMessageId(VK_F4, true, true), UINT{WM_SYSKEYUP});
  EXPECT_EQ(KeyMessageId(VK_F1 + 9, false, false), UINT{WM_SYSKEYDOWN}) << "F10";
  EXPECT_EQ(KeyMessageId(VK_MENU, true, false), UINT{WM_SYSKEYUP}) << "releasing Alt itself";
  EXPECT_EQ(KeyMessageId(VK_F1 + 8, false, false), UINT{WM_KEYDOWN}) << "F9";
}

TEST(Win32KeyCodes, KeyMessageLParamBits) {
  // Escape pressed: repeat count 1, scan code 0x01.
  EXPECT_EQ(KeyMessageLParam(0x01, false, false, false), LPARAM{0x00010001});
  // Held down (auto-repeat): previous-state bit 30.
  EXPECT_EQ(KeyMessageLParam(0x01, false, true, false), LPARAM{0x40010001});
  // Released: bits 30 and 31, zero-extended as Windows hands it on 64-bit.
  EXPECT_EQ(KeyMessageLParam(0x01, true, false, false), LPARAM{0xC0010001u});
  // Up arrow: scan code 0x48 with the extended bit 24.
  EXPECT_EQ(KeyMessageLParam(0xC8, false, false, false), LPARAM{0x01480001});
  // Alt+F4: context bit 29.
  EXPECT_EQ(KeyMessageLParam(0x3E, false, false, true), LPARAM{0x203E0001});
}

}  // namespace
