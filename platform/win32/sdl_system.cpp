// The screen and the cursor of system.cpp on SDL: the desktop's display mode
// and SDL's cursor.
#include "win32/sdl_window.h"
#include "win32/win32_internal.h"

namespace platform {

int ScreenMetric(int nIndex) {
  if (!EnsureSdlVideo()) return 0;
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return 0;
  return nIndex == SM_CXSCREEN ? mode.w : mode.h;
}

void ShowSystemCursor(bool shown) {
  if (SDL_WasInit(SDL_INIT_VIDEO) != 0) SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE);
}

}  // namespace platform
