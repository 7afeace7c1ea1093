// The keyboard state behind DirectInput's keyboard device, fed by SDL key
// events through an event watch. Atomic bytes: SDL may call the watch from
// whichever thread pushes an event.
#include "dinput8/keyboard_state.h"

#include <SDL.h>

#include <array>
#include <atomic>

#include "dinput8/scan_codes.h"
#include "platform_hooks.h"
#include "win32/sdl_window.h"

namespace platform {
namespace {

std::array<std::atomic<BYTE>, 256> g_keys{};
std::atomic<int> g_focusOverride{-1};
bool g_watchInstalled = false;

void ReleaseEveryKey() {
  for (auto& key : g_keys) key = 0;
}

int SDLCALL KeyboardWatch(void* userdata, SDL_Event* event) {
  switch (event->type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      const BYTE dik = DikFromSdlScancode(event->key.keysym.scancode);
      if (dik != 0) g_keys[dik] = event->type == SDL_KEYDOWN ? 0x80 : 0;
      break;
    }
    case SDL_WINDOWEVENT:
      if (event->window.event == SDL_WINDOWEVENT_FOCUS_LOST) ReleaseEveryKey();
      break;
    default: break;
  }
  return 1;  // the event goes on to the queue either way
}

}  // namespace

void InstallKeyboardWatch() {
  if (g_watchInstalled) return;
  SDL_AddEventWatch(KeyboardWatch, nullptr);
  g_watchInstalled = true;
}

void CopyKeyboardState(BYTE* state) {
  for (size_t i = 0; i < g_keys.size(); ++i) state[i] = g_keys[i];
}

bool IsKeyboardWindow(HWND hwnd) { return SdlWindowFromHwnd(hwnd) != nullptr; }

bool WindowHasKeyboardFocus(HWND hwnd) {
  const int forced = g_focusOverride;
  if (forced >= 0) return forced != 0;
  SDL_Window* window = SdlWindowFromHwnd(hwnd);
  return window != nullptr && SDL_WasInit(SDL_INIT_VIDEO) != 0 && SDL_GetKeyboardFocus() == window;
}

void ResetKeyboardState() {
  g_focusOverride = -1;
  ReleaseEveryKey();
}

void SetKeyDown(BYTE dik, bool down) { g_keys[dik] = down ? 0x80 : 0; }

void ReleaseAllKeys() { ReleaseEveryKey(); }

void SetKeyboardFocusOverride(int focused) { g_focusOverride = focused < 0 ? -1 : (focused != 0); }

}  // namespace platform
