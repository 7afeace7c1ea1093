// SDL video start-up for the whole layer: started once, on first need. A
// failure is remembered with SDL's reason and not retried, so that a program
// without a display fails fast and the same way every time.
// SDL_VIDEODRIVER is honoured as SDL reads it (offscreen, x11, wayland...).
// Without it, SDL would fall back to its offscreen or dummy driver when no
// display answers; the program would then run on, drawing into nothing with
// no key or window to stop it. That fallback counts as "no display" here:
// only an explicit SDL_VIDEODRIVER gets a driver that shows nothing.
#include <cstring>
#include <string>

#include "win32/sdl_window.h"
#include "win32/win32_internal.h"

namespace platform {
namespace {

enum class VideoState { NotTried, Up, Failed };

VideoState g_videoState = VideoState::NotTried;
std::string g_videoError;

bool IsInvisibleDriver(const char* driver) {
  return driver != nullptr &&
         (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

// SDL_GetHint also reports the environment variable of the same name.
bool DriverWasAskedFor() {
  const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
  return asked != nullptr && asked[0] != '\0';
}

}  // namespace

bool EnsureSdlVideo() {
  if (g_videoState == VideoState::NotTried) {
    // Without this SDL turns Ctrl+C into SDL_QUIT, which the message loop
    // ignores (a closing window already gives WM_CLOSE); the default signal
    // handling should end the program instead.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
      g_videoState = VideoState::Up;
      const char* driver = SDL_GetCurrentVideoDriver();
      if (IsInvisibleDriver(driver) && !DriverWasAskedFor()) {
        g_videoError = std::string("only SDL's ") + driver +
                       " driver answered (set SDL_VIDEODRIVER=" + driver +
                       " to run without a display)";
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        g_videoState = VideoState::Failed;
      }
    } else {
      g_videoState = VideoState::Failed;
      g_videoError = SDL_GetError();
      if (g_videoError.empty()) g_videoError = "SDL_Init(SDL_INIT_VIDEO) failed";
    }
  }
  return g_videoState == VideoState::Up;
}

const char* SdlVideoError() { return g_videoError.c_str(); }

bool SdlVideoHasRealDisplay() {
  if (g_videoState != VideoState::Up) return false;
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver == nullptr) return false;
  const std::string name = driver;
  return name != "offscreen" && name != "dummy";
}

}  // namespace platform
