// The screen and the cursor of system.cpp on SDL: the desktop's display mode
// and SDL's cursor.
// The screen is measured in pixels, as a program that Windows treats as aware
// of DPI sees it. On Wayland with an output scale (HiDPI screens), SDL 2.26
// reports the desktop mode in window units (the physical size divided by the
// scale) and lists the output's physical mode as the largest of its display
// modes (where the compositor has wp_viewporter, as GNOME, KDE, sway and
// weston do); windows made with SDL_WINDOW_ALLOW_HIGHDPI then get that many
// pixels a unit. Limits: one scale, display 0's; a compositor without
// wp_viewporter lists no physical mode, and the screen then measures in window
// units as before. X11 and the offscreen driver measure windows in pixels.
#include <cmath>
#include <cstring>

#include "win32/sdl_window.h"
#include "win32/win32_internal.h"

namespace platform {
namespace {

bool DriverScalesWindows() {
  if (!EnsureSdlVideo()) return false;
  const char* driver = SDL_GetCurrentVideoDriver();
  return driver != nullptr && std::strcmp(driver, "wayland") == 0 &&
         !SDL_GetHintBoolean(SDL_HINT_VIDEO_HIGHDPI_DISABLED, SDL_FALSE);
}

// Display 0's desktop mode and, where SDL scales its windows, its physical mode.
bool ScreenModes(SDL_DisplayMode* desktop, SDL_DisplayMode* physical) {
  if (!EnsureSdlVideo() || SDL_GetDesktopDisplayMode(0, desktop) != 0) return false;
  // SDL sorts a display's modes largest first.
  if (!DriverScalesWindows() || SDL_GetDisplayMode(0, 0, physical) != 0) *physical = *desktop;
  return true;
}

}  // namespace

float ScaleFromDisplayModes(const SDL_DisplayMode& desktop, const SDL_DisplayMode& physical) {
  if (desktop.w <= 0 || desktop.h <= 0) return 1.0f;
  const float across = static_cast<float>(physical.w) / static_cast<float>(desktop.w);
  const float down = static_cast<float>(physical.h) / static_cast<float>(desktop.h);
  // A compositor may round the desktop's size in units; a mode of another
  // shape is one of SDL's emulated modes, not the screen.
  if (across <= 1.0f || std::fabs(across - down) > 0.01f * across) return 1.0f;
  return across;
}

int WindowUnitsFromPixels(int pixels, float scale) {
  if (scale == 1.0f) return pixels;
  return static_cast<int>(std::lround(static_cast<float>(pixels) / scale));
}

float SdlWindowScale() {
  SDL_DisplayMode desktop;
  SDL_DisplayMode physical;
  return ScreenModes(&desktop, &physical) ? ScaleFromDisplayModes(desktop, physical) : 1.0f;
}

int ScreenMetric(int nIndex) {
  SDL_DisplayMode desktop;
  SDL_DisplayMode physical;
  if (!ScreenModes(&desktop, &physical)) return 0;
  const SDL_DisplayMode& screen =
      ScaleFromDisplayModes(desktop, physical) != 1.0f ? physical : desktop;
  return nIndex == SM_CXSCREEN ? screen.w : screen.h;
}

void ShowSystemCursor(bool shown) {
  if (SDL_WasInit(SDL_INIT_VIDEO) != 0) SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE);
}

}  // namespace platform
