// A web page's KeyboardEvent.code to Windows' virtual keys and scan codes,
// held against the SDL mapping of the same key positions (tested on its own
// against the platform's values in key_codes_test.cpp and scan_codes_test.cpp).
#include "win32/dom_key_codes.h"

#include <gtest/gtest.h>

#include <set>

#include "win32/key_codes.h"

namespace {

using platform::ScanCodeFromDomCode;
using platform::VkFromDomCode;

struct PositionCase {
  const char* code;
  SDL_Scancode scancode;
};

const PositionCase kPositions[] = {
    {"Escape", SDL_SCANCODE_ESCAPE},
    {"Digit1", SDL_SCANCODE_1},
    {"Digit5", SDL_SCANCODE_5},
    {"Digit9", SDL_SCANCODE_9},
    {"Digit0", SDL_SCANCODE_0},
    {"Minus", SDL_SCANCODE_MINUS},
    {"Equal", SDL_SCANCODE_EQUALS},
    {"Backspace", SDL_SCANCODE_BACKSPACE},
    {"Tab", SDL_SCANCODE_TAB},
    {"KeyQ", SDL_SCANCODE_Q},
    {"KeyW", SDL_SCANCODE_W},
    {"KeyE", SDL_SCANCODE_E},
    {"KeyR", SDL_SCANCODE_R},
    {"KeyT", SDL_SCANCODE_T},
    {"KeyY", SDL_SCANCODE_Y},
    {"KeyU", SDL_SCANCODE_U},
    {"KeyI", SDL_SCANCODE_I},
    {"KeyO", SDL_SCANCODE_O},
    {"KeyP", SDL_SCANCODE_P},
    {"BracketLeft", SDL_SCANCODE_LEFTBRACKET},
    {"BracketRight", SDL_SCANCODE_RIGHTBRACKET},
    {"Enter", SDL_SCANCODE_RETURN},
    {"ControlLeft", SDL_SCANCODE_LCTRL},
    {"KeyA", SDL_SCANCODE_A},
    {"KeyS", SDL_SCANCODE_S},
    {"KeyD", SDL_SCANCODE_D},
    {"KeyF", SDL_SCANCODE_F},
    {"KeyG", SDL_SCANCODE_G},
    {"KeyH", SDL_SCANCODE_H},
    {"KeyJ", SDL_SCANCODE_J},
    {"KeyK", SDL_SCANCODE_K},
    {"KeyL", SDL_SCANCODE_L},
    {"Semicolon", SDL_SCANCODE_SEMICOLON},
    {"Quote", SDL_SCANCODE_APOSTROPHE},
    {"Backquote", SDL_SCANCODE_GRAVE},
    {"ShiftLeft", SDL_SCANCODE_LSHIFT},
    {"Backslash", SDL_SCANCODE_BACKSLASH},
    {"KeyZ", SDL_SCANCODE_Z},
    {"KeyX", SDL_SCANCODE_X},
    {"KeyC", SDL_SCANCODE_C},
    {"KeyV", SDL_SCANCODE_V},
    {"KeyB", SDL_SCANCODE_B},
    {"KeyN", SDL_SCANCODE_N},
    {"KeyM", SDL_SCANCODE_M},
    {"Comma", SDL_SCANCODE_COMMA},
    {"Period", SDL_SCANCODE_PERIOD},
    {"Slash", SDL_SCANCODE_SLASH},
    {"ShiftRight", SDL_SCANCODE_RSHIFT},
    {"NumpadMultiply", SDL_SCANCODE_KP_MULTIPLY},
    {"AltLeft", SDL_SCANCODE_LALT},
    {"Space", SDL_SCANCODE_SPACE},
    {"CapsLock", SDL_SCANCODE_CAPSLOCK},
    {"F1", SDL_SCANCODE_F1},
    {"F5", SDL_SCANCODE_F5},
    {"F10", SDL_SCANCODE_F10},
    {"F11", SDL_SCANCODE_F11},
    {"F12", SDL_SCANCODE_F12},
    {"NumLock", SDL_SCANCODE_NUMLOCKCLEAR},
    {"ScrollLock", SDL_SCANCODE_SCROLLLOCK},
    {"Numpad7", SDL_SCANCODE_KP_7},
    {"Numpad8", SDL_SCANCODE_KP_8},
    {"Numpad9", SDL_SCANCODE_KP_9},
    {"NumpadSubtract", SDL_SCANCODE_KP_MINUS},
    {"Numpad4", SDL_SCANCODE_KP_4},
    {"Numpad5", SDL_SCANCODE_KP_5},
    {"Numpad6", SDL_SCANCODE_KP_6},
    {"NumpadAdd", SDL_SCANCODE_KP_PLUS},
    {"Numpad1", SDL_SCANCODE_KP_1},
    {"Numpad2", SDL_SCANCODE_KP_2},
    {"Numpad3", SDL_SCANCODE_KP_3},
    {"Numpad0", SDL_SCANCODE_KP_0},
    {"NumpadDecimal", SDL_SCANCODE_KP_PERIOD},
    {"IntlBackslash", SDL_SCANCODE_NONUSBACKSLASH},
    {"NumpadEnter", SDL_SCANCODE_KP_ENTER},
    {"ControlRight", SDL_SCANCODE_RCTRL},
    {"NumpadDivide", SDL_SCANCODE_KP_DIVIDE},
    {"PrintScreen", SDL_SCANCODE_PRINTSCREEN},
    {"AltRight", SDL_SCANCODE_RALT},
    {"Pause", SDL_SCANCODE_PAUSE},
    {"Home", SDL_SCANCODE_HOME},
    {"ArrowUp", SDL_SCANCODE_UP},
    {"PageUp", SDL_SCANCODE_PAGEUP},
    {"ArrowLeft", SDL_SCANCODE_LEFT},
    {"ArrowRight", SDL_SCANCODE_RIGHT},
    {"End", SDL_SCANCODE_END},
    {"ArrowDown", SDL_SCANCODE_DOWN},
    {"PageDown", SDL_SCANCODE_PAGEDOWN},
    {"Insert", SDL_SCANCODE_INSERT},
    {"Delete", SDL_SCANCODE_DELETE},
    {"MetaLeft", SDL_SCANCODE_LGUI},
    {"MetaRight", SDL_SCANCODE_RGUI},
    {"ContextMenu", SDL_SCANCODE_APPLICATION},
};

TEST(Win32DomKeyCodes, EveryPositionMatchesTheSdlMapping) {
  std::set<int> scanCodes;
  for (const PositionCase& c : kPositions) {
    // No keycode: the SDL mapping then follows the position for letters too.
    EXPECT_EQ(VkFromDomCode(c.code), platform::VkFromSdlKey(c.scancode, SDLK_UNKNOWN)) << c.code;
    const BYTE scanCode = ScanCodeFromDomCode(c.code);
    EXPECT_EQ(scanCode, platform::ScanCodeFromSdlScancode(c.scancode)) << c.code;
    EXPECT_NE(scanCode, 0) << c.code;
    EXPECT_TRUE(scanCodes.insert(scanCode).second) << c.code << " shares its scan code";
  }
}

TEST(Win32DomKeyCodes, UnknownCodesGiveZero) {
  for (const char* code : {"", "AudioVolumeMute", "Fn", "arrowup", "KeyA "}) {
    EXPECT_EQ(VkFromDomCode(code), 0u) << '"' << code << '"';
    EXPECT_EQ(ScanCodeFromDomCode(code), 0) << '"' << code << '"';
  }
  EXPECT_EQ(VkFromDomCode(nullptr), 0u);
  EXPECT_EQ(ScanCodeFromDomCode(nullptr), 0);
}

}  // namespace
