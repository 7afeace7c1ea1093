// The keyboard state behind DirectInput's keyboard device, for both backends:
// the 256 key bytes and the focus a test may force. The backends' event
// handlers (sdl_keyboard_state.cpp, web_keyboard_state.cpp) write the bytes
// through SetKeyDown and ReleaseAllKeys. Atomic bytes: SDL may call its
// handler from whichever thread pushes an event.
#include "dinput8/keyboard_state.h"

#include <array>
#include <atomic>

#include "platform_hooks.h"

namespace platform {
namespace {

std::array<std::atomic<BYTE>, 256> g_keys{};
std::atomic<int> g_focusOverride{-1};

}  // namespace

void CopyKeyboardState(BYTE* state) {
  for (size_t i = 0; i < g_keys.size(); ++i) state[i] = g_keys[i];
}

bool WindowHasKeyboardFocus(HWND hwnd) {
  const int forced = g_focusOverride;
  if (forced >= 0) return forced != 0;
  return WindowHasSystemFocus(hwnd);
}

void ResetKeyboardState() {
  g_focusOverride = -1;
  ReleaseAllKeys();
}

void SetKeyDown(BYTE dik, bool down) { g_keys[dik] = down ? 0x80 : 0; }

void ReleaseAllKeys() {
  for (auto& key : g_keys) key = 0;
}

void SetKeyboardFocusOverride(int focused) { g_focusOverride = focused < 0 ? -1 : (focused != 0); }

}  // namespace platform
