// Key messages and their lParam (see key_messages.h).
#include "win32/key_messages.h"

#include <cstdint>

namespace platform {
namespace {

constexpr UINT kVkF10 = VK_F1 + 9;
constexpr BYTE kExtended = 0x80;

}  // namespace

UINT KeyMessageId(UINT vk, bool keyUp, bool altHeld) {
  const bool system = altHeld || vk == VK_MENU || vk == kVkF10;
  if (system) return keyUp ? WM_SYSKEYUP : WM_SYSKEYDOWN;
  return keyUp ? WM_KEYUP : WM_KEYDOWN;
}

LPARAM KeyMessageLParam(BYTE scanCode, bool keyUp, bool repeat, bool altHeld) {
  std::uint32_t bits = 1;  // repeat count
  bits |= static_cast<std::uint32_t>(scanCode & 0x7F) << 16;
  if (scanCode & kExtended) bits |= 1u << 24;
  if (altHeld) bits |= 1u << 29;
  if (keyUp || repeat) bits |= 1u << 30;
  if (keyUp) bits |= 1u << 31;
  // The 32-bit value, zero-extended into the 64-bit LPARAM.
  return static_cast<LPARAM>(bits);
}

}  // namespace platform
