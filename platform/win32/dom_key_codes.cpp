// KeyboardEvent.code to Windows key codes: one table of the 104 keys of a
// PC keyboard, plus the ISO key. Limits: US-layout virtual keys for the
// punctuation positions (VK_OEM_*); left and right modifiers collapse to
// VK_SHIFT/VK_CONTROL/VK_MENU as in WM_KEYDOWN.
#include "win32/dom_key_codes.h"

#include <cstring>

#include "win32/virtual_keys.h"

namespace platform {
namespace {

struct DomKey {
  const char* m_code;
  UINT m_vk;
  BYTE m_scanCode;
};

constexpr BYTE kExtended = 0x80;

constexpr DomKey kKeys[] = {
    {"Escape", VK_ESCAPE, 0x01},
    {"Digit1", '1', 0x02},
    {"Digit2", '2', 0x03},
    {"Digit3", '3', 0x04},
    {"Digit4", '4', 0x05},
    {"Digit5", '5', 0x06},
    {"Digit6", '6', 0x07},
    {"Digit7", '7', 0x08},
    {"Digit8", '8', 0x09},
    {"Digit9", '9', 0x0A},
    {"Digit0", '0', 0x0B},
    {"Minus", kVkOemMinus, 0x0C},
    {"Equal", kVkOemPlus, 0x0D},
    {"Backspace", VK_BACK, 0x0E},
    {"Tab", VK_TAB, 0x0F},
    {"KeyQ", 'Q', 0x10},
    {"KeyW", 'W', 0x11},
    {"KeyE", 'E', 0x12},
    {"KeyR", 'R', 0x13},
    {"KeyT", 'T', 0x14},
    {"KeyY", 'Y', 0x15},
    {"KeyU", 'U', 0x16},
    {"KeyI", 'I', 0x17},
    {"KeyO", 'O', 0x18},
    {"KeyP", 'P', 0x19},
    {"BracketLeft", kVkOem4, 0x1A},
    {"BracketRight", kVkOem6, 0x1B},
    {"Enter", VK_RETURN, 0x1C},
    {"ControlLeft", VK_CONTROL, 0x1D},
    {"KeyA", 'A', 0x1E},
    {"KeyS", 'S', 0x1F},
    {"KeyD", 'D', 0x20},
    {"KeyF", 'F', 0x21},
    {"KeyG", 'G', 0x22},
    {"KeyH", 'H', 0x23},
    {"KeyJ", 'J', 0x24},
    {"KeyK", 'K', 0x25},
    {"KeyL", 'L', 0x26},
    {"Semicolon", kVkOem1, 0x27},
    {"Quote", kVkOem7, 0x28},
    {"Backquote", kVkOem3, 0x29},
    {"ShiftLeft", VK_SHIFT, 0x2A},
    {"Backslash", kVkOem5, 0x2B},
    {"KeyZ", 'Z', 0x2C},
    {"KeyX", 'X', 0x2D},
    {"KeyC", 'C', 0x2E},
    {"KeyV", 'V', 0x2F},
    {"KeyB", 'B', 0x30},
    {"KeyN", 'N', 0x31},
    {"KeyM", 'M', 0x32},
    {"Comma", kVkOemComma, 0x33},
    {"Period", kVkOemPeriod, 0x34},
    {"Slash", kVkOem2, 0x35},
    {"ShiftRight", VK_SHIFT, 0x36},
    {"NumpadMultiply", VK_MULTIPLY, 0x37},
    {"AltLeft", VK_MENU, 0x38},
    {"Space", VK_SPACE, 0x39},
    {"CapsLock", kVkCapital, 0x3A},
    {"F1", VK_F1, 0x3B},
    {"F2", VK_F1 + 1, 0x3C},
    {"F3", VK_F1 + 2, 0x3D},
    {"F4", VK_F1 + 3, 0x3E},
    {"F5", VK_F1 + 4, 0x3F},
    {"F6", VK_F1 + 5, 0x40},
    {"F7", VK_F1 + 6, 0x41},
    {"F8", VK_F1 + 7, 0x42},
    {"F9", VK_F1 + 8, 0x43},
    {"F10", VK_F1 + 9, 0x44},
    {"NumLock", VK_NUMLOCK, 0x45},
    {"ScrollLock", kVkScroll, 0x46},
    {"Numpad7", VK_NUMPAD0 + 7, 0x47},
    {"Numpad8", VK_NUMPAD0 + 8, 0x48},
    {"Numpad9", VK_NUMPAD0 + 9, 0x49},
    {"NumpadSubtract", VK_SUBTRACT, 0x4A},
    {"Numpad4", VK_NUMPAD0 + 4, 0x4B},
    {"Numpad5", VK_NUMPAD0 + 5, 0x4C},
    {"Numpad6", VK_NUMPAD0 + 6, 0x4D},
    {"NumpadAdd", VK_ADD, 0x4E},
    {"Numpad1", VK_NUMPAD0 + 1, 0x4F},
    {"Numpad2", VK_NUMPAD0 + 2, 0x50},
    {"Numpad3", VK_NUMPAD0 + 3, 0x51},
    {"Numpad0", VK_NUMPAD0, 0x52},
    {"NumpadDecimal", VK_DECIMAL, 0x53},
    {"IntlBackslash", kVkOem102, 0x56},
    {"F11", VK_F1 + 10, 0x57},
    {"F12", VK_F1 + 11, 0x58},
    {"NumpadEnter", VK_RETURN, kExtended | 0x1C},
    {"ControlRight", VK_CONTROL, kExtended | 0x1D},
    {"NumpadDivide", VK_DIVIDE, kExtended | 0x35},
    {"PrintScreen", kVkSnapshot, kExtended | 0x37},
    {"AltRight", VK_MENU, kExtended | 0x38},
    {"Pause", kVkPause, kExtended | 0x45},
    {"Home", VK_HOME, kExtended | 0x47},
    {"ArrowUp", VK_UP, kExtended | 0x48},
    {"PageUp", VK_PRIOR, kExtended | 0x49},
    {"ArrowLeft", VK_LEFT, kExtended | 0x4B},
    {"ArrowRight", VK_RIGHT, kExtended | 0x4D},
    {"End", VK_END, kExtended | 0x4F},
    {"ArrowDown", VK_DOWN, kExtended | 0x50},
    {"PageDown", VK_NEXT, kExtended | 0x51},
    {"Insert", VK_INSERT, kExtended | 0x52},
    {"Delete", VK_DELETE, kExtended | 0x53},
    {"MetaLeft", kVkLWin, kExtended | 0x5B},
    {"MetaRight", kVkRWin, kExtended | 0x5C},
    {"ContextMenu", kVkApps, kExtended | 0x5D},
};

const DomKey* FindDomKey(const char* code) {
  if (code == nullptr) return nullptr;
  for (const DomKey& key : kKeys) {
    if (std::strcmp(key.m_code, code) == 0) return &key;
  }
  return nullptr;
}

}  // namespace

UINT VkFromDomCode(const char* code) {
  const DomKey* key = FindDomKey(code);
  return key != nullptr ? key->m_vk : 0;
}

BYTE ScanCodeFromDomCode(const char* code) {
  const DomKey* key = FindDomKey(code);
  return key != nullptr ? key->m_scanCode : 0;
}

}  // namespace platform
