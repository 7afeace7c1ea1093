// The keyboard state (keyboard_state.cpp) fed by SDL key events through an
// event watch, and SDL's keyboard focus. SDL may call the watch from whichever
// thread pushes an event.
#include "dinput8/keyboard_state.h"

#include <SDL.h>

#include "dinput8/scan_codes.h"
#include "platform_hooks.h"
#include "win32/sdl_window.h"

namespace platform {
namespace {

bool g_watchInstalled = false;

int SDLCALL KeyboardWatch(void* userdata, SDL_Event* event) {
  switch (event->type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      const BYTE dik = DikFromSdlScancode(event->key.keysym.scancode);
      if (dik != 0) SetKeyDown(dik, event->type == SDL_KEYDOWN);
      break;
    }
    case SDL_WINDOWEVENT:
      if (event->window.event == SDL_WINDOWEVENT_FOCUS_LOST) ReleaseAllKeys();
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

bool IsKeyboardWindow(HWND hwnd) { return SdlWindowFromHwnd(hwnd) != nullptr; }

bool WindowHasSystemFocus(HWND hwnd) {
  SDL_Window* window = SdlWindowFromHwnd(hwnd);
  return window != nullptr && SDL_WasInit(SDL_INIT_VIDEO) != 0 && SDL_GetKeyboardFocus() == window;
}

}  // namespace platform
