// Windows on SDL: CreateWindowExA (window_class.cpp) makes an SDL window with
// an OpenGL surface for the Direct3D part.
// CreateWindowExA's place and size are pixels, as for a program that Windows
// treats as aware of DPI: on a scaled Wayland output the SDL window is made
// with SDL_WINDOW_ALLOW_HIGHDPI at that size in window units, so that its
// drawable has the pixels asked for and the compositor does not enlarge it.
// Limits: no parent windows or extended styles; at a scale that does not
// divide the size (odd sizes at scale 2, fractional scales) the drawable is
// the nearest SDL can make, and the device then copies its back buffer into it.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "win32/sdl_window.h"
#include "win32/win32_internal.h"

namespace platform {
namespace {

// Set on the SDL windows the program made visible: only those count as
// hidden when SDL reports them so (a window made without WS_VISIBLE is meant
// to be drawn into unseen).
constexpr const char* kMadeVisible = "ef.made-visible";
// The window's icon (an SDL_Surface that lives as long as its HICON), kept
// for a window made again.
constexpr const char* kIcon = "ef.icon";

// What a window released by ReleaseSdlWindows needs to be made again.
struct ReleasedWindow {
  WindowRecord* record;
  std::string title;
  int x, y, width, height;
  Uint32 flags;
  SDL_Surface* icon;
  bool madeVisible;
};
std::vector<ReleasedWindow> g_released;

// Lives until the process ends and is never destroyed, so that code running
// from other globals' destructors can still ask about an HWND.
std::vector<std::unique_ptr<WindowRecord>>& GetWindows() {
  static auto* windows = new std::vector<std::unique_ptr<WindowRecord>>;
  return *windows;
}

}  // namespace

WindowRecord* FindWindowRecord(HWND hwnd) {
  if (hwnd == nullptr) return nullptr;
  for (auto& window : GetWindows()) {
    if (HwndFromRecord(window.get()) == hwnd) return window->m_destroyed ? nullptr : window.get();
  }
  return nullptr;
}

WindowRecord* FindWindowRecordBySdlId(Uint32 windowId) {
  for (auto& window : GetWindows()) {
    if (!window->m_destroyed && window->m_sdlWindow != nullptr &&
        SDL_GetWindowID(window->m_sdlWindow) == windowId)
      return window.get();
  }
  return nullptr;
}

void HideDestroyedWindow(WindowRecord* record) {
  if (record->m_sdlWindow != nullptr) SDL_HideWindow(record->m_sdlWindow);
}

SDL_Window* SdlWindowFromHwnd(HWND hwnd) {
  WindowRecord* record = FindWindowRecord(hwnd);
  return record != nullptr ? record->m_sdlWindow : nullptr;
}

HWND HwndFromSdlWindow(SDL_Window* window) {
  if (window == nullptr) return nullptr;
  for (auto& record : GetWindows()) {
    if (!record->m_destroyed && record->m_sdlWindow == window) return HwndFromRecord(record.get());
  }
  return nullptr;
}

WindowRecord* MakeWindowRecord(const WNDCLASSEXA& windowClass, LPCSTR name, DWORD style, int x,
                               int y, int width, int height) {
  if (!EnsureSdlVideo()) {
    std::fprintf(stderr, "CreateWindowExA: no display could be opened: %s\n", SdlVideoError());
    return nullptr;
  }
  // Always an OpenGL window: the Direct3D part makes its GL context on it.
  Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_ALLOW_HIGHDPI;
  if (style & WS_POPUP) flags |= SDL_WINDOW_BORDERLESS;
  flags |= (style & WS_VISIBLE) ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN;
  const float scale = SdlWindowScale();
  const int unitsWide = WindowUnitsFromPixels(width, scale);
  const int unitsHigh = WindowUnitsFromPixels(height, scale);
  SDL_Window* sdlWindow = SDL_CreateWindow(
      name != nullptr ? name : "", WindowUnitsFromPixels(x, scale), WindowUnitsFromPixels(y, scale),
      unitsWide > 0 ? unitsWide : 1, unitsHigh > 0 ? unitsHigh : 1, flags);
  if (sdlWindow == nullptr) {
    std::fprintf(stderr, "CreateWindowExA: the window could not be made: %s\n", SDL_GetError());
    return nullptr;
  }
  // Windows shows the class's large icon in the task switcher and its small
  // one in the title bar; an SDL window has one icon, the large one.
  if (SDL_Surface* icon = SurfaceFromIcon(windowClass.hIcon)) {
    SDL_SetWindowIcon(sdlWindow, icon);
    SDL_SetWindowData(sdlWindow, kIcon, icon);
  }
  if (style & WS_VISIBLE) SDL_SetWindowData(sdlWindow, kMadeVisible, sdlWindow);
  auto record = std::make_unique<WindowRecord>();
  record->m_sdlWindow = sdlWindow;
  record->m_proc = windowClass.lpfnWndProc;
  GetWindows().push_back(std::move(record));
  return GetWindows().back().get();
}

int ReleaseSdlWindows() {
  int released = 0;
  for (auto& record : GetWindows()) {
    SDL_Window* window = record->m_sdlWindow;
    if (window == nullptr) continue;
    record->m_sdlWindow = nullptr;
    ++released;
    if (!record->m_destroyed) {
      ReleasedWindow kept{record.get(),
                          SDL_GetWindowTitle(window),
                          0,
                          0,
                          0,
                          0,
                          SDL_GetWindowFlags(window),
                          static_cast<SDL_Surface*>(SDL_GetWindowData(window, kIcon)),
                          SDL_GetWindowData(window, kMadeVisible) != nullptr};
      SDL_GetWindowPosition(window, &kept.x, &kept.y);
      SDL_GetWindowSize(window, &kept.width, &kept.height);
      g_released.push_back(kept);
    }
    SDL_DestroyWindow(window);
  }
  return released;
}

bool RemakeSdlWindows(std::string* error) {
  const Uint32 kept = SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS | SDL_WINDOW_RESIZABLE |
                      SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_HIDDEN;
  bool ok = true;
  for (const ReleasedWindow& released : g_released) {
    Uint32 flags = released.flags & kept;
    if ((flags & SDL_WINDOW_HIDDEN) == 0) flags |= SDL_WINDOW_SHOWN;
    SDL_Window* window = SDL_CreateWindow(released.title.c_str(), released.x, released.y,
                                          released.width, released.height, flags);
    if (window == nullptr) {
      if (ok) *error = SDL_GetError();
      ok = false;
      continue;
    }
    if (released.icon) {
      SDL_SetWindowIcon(window, released.icon);
      SDL_SetWindowData(window, kIcon, released.icon);
    }
    if (released.madeVisible) SDL_SetWindowData(window, kMadeVisible, window);
    released.record->m_sdlWindow = window;
  }
  g_released.clear();
  return ok;
}

// A frame of a minimised or unmapped window (another desktop, hidden by the
// window manager) is seen by nobody: rather than draw such frames at full
// speed, wait until SDL has an event (the window shown again, a key, a close
// request) or `maxMs` have passed, so that the program's loop and clock go on
// at a few frames a second. The event stays queued for the message pump.
void WaitWhileWindowHidden(SDL_Window* window, Uint32 maxMs) {
  if (window == nullptr || SDL_GetWindowData(window, kMadeVisible) == nullptr) return;
  if ((SDL_GetWindowFlags(window) & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN)) == 0) return;
  if (HwndFromSdlWindow(window) == nullptr) return;  // destroyed: hidden for good
  SDL_WaitEventTimeout(nullptr, static_cast<int>(maxMs));
}

}  // namespace platform
