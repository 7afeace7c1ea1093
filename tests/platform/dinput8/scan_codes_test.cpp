// SDL key positions to DirectInput scan codes.
#include "dinput8/scan_codes.h"

#include <dinput.h>
#include <gtest/gtest.h>

#include <set>

namespace {

using platform::DikFromSdlScancode;

struct DikCase {
  SDL_Scancode scancode;
  int dik;
  const char* name;
};

TEST(DInputScanCodes, KeysThePlatformNotesName) {
  const DikCase cases[] = {
      {SDL_SCANCODE_ESCAPE, 0x01, "Escape"},
      {SDL_SCANCODE_KP_MINUS, 0x4A, "keypad -"},
      {SDL_SCANCODE_KP_PLUS, 0x4E, "keypad +"},
      {SDL_SCANCODE_HOME, 0xC7, "Home"},
      {SDL_SCANCODE_UP, 0xC8, "Up"},
      {SDL_SCANCODE_PAGEUP, 0xC9, "Page Up"},
      {SDL_SCANCODE_LEFT, 0xCB, "Left"},
      {SDL_SCANCODE_RIGHT, 0xCD, "Right"},
      {SDL_SCANCODE_END, 0xCF, "End"},
      {SDL_SCANCODE_DOWN, 0xD0, "Down"},
      {SDL_SCANCODE_PAGEDOWN, 0xD1, "Page Down"},
  };
  for (const DikCase& c : cases) EXPECT_EQ(int{DikFromSdlScancode(c.scancode)}, c.dik) << c.name;
}

TEST(DInputScanCodes, WholeKeyboard) {
  const DikCase cases[] = {
      {SDL_SCANCODE_A, DIK_A, "A"},
      {SDL_SCANCODE_B, DIK_B, "B"},
      {SDL_SCANCODE_M, DIK_M, "M"},
      {SDL_SCANCODE_Q, DIK_Q, "Q"},
      {SDL_SCANCODE_W, DIK_W, "W"},
      {SDL_SCANCODE_Z, DIK_Z, "Z"},
      {SDL_SCANCODE_1, DIK_1, "1"},
      {SDL_SCANCODE_9, DIK_9, "9"},
      {SDL_SCANCODE_0, DIK_0, "0"},
      {SDL_SCANCODE_MINUS, DIK_MINUS, "main-keyboard minus"},
      {SDL_SCANCODE_EQUALS, DIK_EQUALS, "main-keyboard equals"},
      {SDL_SCANCODE_F1, DIK_F1, "F1"},
      {SDL_SCANCODE_F10, DIK_F10, "F10"},
      {SDL_SCANCODE_F11, DIK_F11, "F11"},
      {SDL_SCANCODE_F12, DIK_F12, "F12"},
      {SDL_SCANCODE_INSERT, DIK_INSERT, "Insert"},
      {SDL_SCANCODE_DELETE, DIK_DELETE, "Delete"},
      {SDL_SCANCODE_KP_ENTER, 0x9C, "keypad Enter"},
      {SDL_SCANCODE_KP_0, DIK_NUMPAD0, "keypad 0"},
      {SDL_SCANCODE_KP_5, DIK_NUMPAD5, "keypad 5"},
      {SDL_SCANCODE_KP_9, DIK_NUMPAD9, "keypad 9"},
      {SDL_SCANCODE_KP_MULTIPLY, DIK_MULTIPLY, "keypad *"},
      {SDL_SCANCODE_KP_DIVIDE, DIK_DIVIDE, "keypad /"},
      {SDL_SCANCODE_KP_PERIOD, DIK_DECIMAL, "keypad ."},
      {SDL_SCANCODE_NUMLOCKCLEAR, DIK_NUMLOCK, "Num Lock"},
      {SDL_SCANCODE_RETURN, DIK_RETURN, "Return"},
      {SDL_SCANCODE_SPACE, DIK_SPACE, "Space"},
      {SDL_SCANCODE_BACKSPACE, DIK_BACK, "Backspace"},
      {SDL_SCANCODE_TAB, DIK_TAB, "Tab"},
      {SDL_SCANCODE_LSHIFT, DIK_LSHIFT, "left Shift"},
      {SDL_SCANCODE_RSHIFT, DIK_RSHIFT, "right Shift"},
      {SDL_SCANCODE_LCTRL, DIK_LCONTROL, "left Ctrl"},
      {SDL_SCANCODE_RCTRL, DIK_RCONTROL, "right Ctrl"},
      {SDL_SCANCODE_LALT, DIK_LMENU, "left Alt"},
      {SDL_SCANCODE_RALT, DIK_RMENU, "right Alt"},
      {SDL_SCANCODE_LGUI, DIK_LWIN, "left Windows"},
      {SDL_SCANCODE_PAUSE, DIK_PAUSE, "Pause"},
      {SDL_SCANCODE_PRINTSCREEN, DIK_SYSRQ, "Print Screen"},
      {SDL_SCANCODE_GRAVE, DIK_GRAVE, "`"},
      {SDL_SCANCODE_SLASH, DIK_SLASH, "/"},
  };
  for (const DikCase& c : cases) EXPECT_EQ(int{DikFromSdlScancode(c.scancode)}, c.dik) << c.name;
}

TEST(DInputScanCodes, MainKeyboardMinusAndPlusAreNotTheKeypads) {
  EXPECT_NE(DikFromSdlScancode(SDL_SCANCODE_MINUS), DIK_SUBTRACT);
  EXPECT_NE(DikFromSdlScancode(SDL_SCANCODE_EQUALS), DIK_ADD);
  EXPECT_NE(DikFromSdlScancode(SDL_SCANCODE_RETURN), DikFromSdlScancode(SDL_SCANCODE_KP_ENTER));
}

TEST(DInputScanCodes, DistinctCodesAndZeroForUnknownKeys) {
  EXPECT_EQ(DikFromSdlScancode(SDL_SCANCODE_UNKNOWN), 0);
  EXPECT_EQ(DikFromSdlScancode(SDL_SCANCODE_AUDIOPLAY), 0);
  // No two SDL keys share a code, apart from the two backslash positions of
  // US and ISO boards.
  std::set<int> seen;
  for (int s = 0; s < SDL_NUM_SCANCODES; ++s) {
    if (s == SDL_SCANCODE_NONUSHASH) continue;
    const int dik = DikFromSdlScancode(static_cast<SDL_Scancode>(s));
    if (dik == 0) continue;
    EXPECT_TRUE(seen.insert(dik).second) << "scan code 0x" << std::hex << dik
                                         << " given twice (SDL scancode " << std::dec << s << ")";
  }
  EXPECT_GE(seen.size(), 100u) << "most of a 105-key keyboard";
}

}  // namespace
