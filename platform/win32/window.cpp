// Window classes and windows: RegisterClassExA keeps a copy of each class by
// name (case-insensitive, as Windows compares class names); CreateWindowExA
// makes an SDL window with an OpenGL surface for the Direct3D part.
// Limits: no parent windows, menus or extended styles; class names given as
// atoms are looked up by atom but cannot be registered; WM_CREATE and the
// other creation messages are not sent.
#include <cctype>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "win32/sdl_window.h"
#include "win32/win32_internal.h"

namespace platform {
namespace {

struct WindowClass {
  WNDCLASSEXA m_info{};
  std::string m_name;
  ATOM m_atom = 0;
};

// Both registries live until the process ends and are never destroyed, so
// that code running from other globals' destructors can still ask about an
// HWND.
struct Registry {
  std::vector<std::unique_ptr<WindowClass>> m_classes;
  std::vector<std::unique_ptr<WindowRecord>> m_windows;
  ATOM m_nextAtom = 0xC000;  // where Windows numbers registered classes from
};

Registry& GetRegistry() {
  static Registry* registry = new Registry;
  return *registry;
}

bool g_registerClassFails = false;

bool IsAtomName(LPCSTR name) { return reinterpret_cast<uintptr_t>(name) < 0x10000; }

bool SameClassName(const std::string& a, const char* b) {
  size_t i = 0;
  for (; i < a.size() && b[i] != '\0'; ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return i == a.size() && b[i] == '\0';
}

WindowClass* FindClass(LPCSTR name) {
  if (name == nullptr) return nullptr;
  for (auto& windowClass : GetRegistry().m_classes) {
    if (IsAtomName(name)) {
      if (windowClass->m_atom == static_cast<ATOM>(reinterpret_cast<uintptr_t>(name)))
        return windowClass.get();
    } else if (SameClassName(windowClass->m_name, name)) {
      return windowClass.get();
    }
  }
  return nullptr;
}

}  // namespace

void SetRegisterClassFails(bool fails) { g_registerClassFails = fails; }

void ResetWindowHooks() { g_registerClassFails = false; }

WindowRecord* FindWindowRecord(HWND hwnd) {
  if (hwnd == nullptr) return nullptr;
  for (auto& window : GetRegistry().m_windows) {
    if (HwndFromRecord(window.get()) == hwnd) return window->m_destroyed ? nullptr : window.get();
  }
  return nullptr;
}

WindowRecord* FindWindowRecordBySdlId(Uint32 windowId) {
  for (auto& window : GetRegistry().m_windows) {
    if (!window->m_destroyed && SDL_GetWindowID(window->m_sdlWindow) == windowId)
      return window.get();
  }
  return nullptr;
}

HWND HwndFromRecord(WindowRecord* record) { return reinterpret_cast<HWND>(record); }

void DestroyWindowRecord(WindowRecord* record) {
  if (record == nullptr || record->m_destroyed || record->m_destroying) return;
  record->m_destroying = true;
  HWND hwnd = HwndFromRecord(record);
  SDL_HideWindow(record->m_sdlWindow);
  DropWindowMessages(hwnd);
  // WM_DESTROY goes to the procedure while the window still counts as alive,
  // as on Windows; afterwards the handle is stale.
  record->m_proc(hwnd, WM_DESTROY, 0, 0);
  record->m_destroyed = true;
}

SDL_Window* SdlWindowFromHwnd(HWND hwnd) {
  WindowRecord* record = FindWindowRecord(hwnd);
  return record != nullptr ? record->m_sdlWindow : nullptr;
}

HWND HwndFromSdlWindow(SDL_Window* window) {
  if (window == nullptr) return nullptr;
  for (auto& record : GetRegistry().m_windows) {
    if (!record->m_destroyed && record->m_sdlWindow == window) return HwndFromRecord(record.get());
  }
  return nullptr;
}

}  // namespace platform

using namespace platform;

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* lpwcx) {
  if (g_registerClassFails) return 0;
  if (lpwcx == nullptr || lpwcx->cbSize != sizeof(WNDCLASSEXA) || lpwcx->lpfnWndProc == nullptr ||
      lpwcx->lpszClassName == nullptr || IsAtomName(lpwcx->lpszClassName) ||
      lpwcx->lpszClassName[0] == '\0')
    return 0;
  if (FindClass(lpwcx->lpszClassName) != nullptr) return 0;  // ERROR_CLASS_ALREADY_EXISTS
  Registry& registry = GetRegistry();
  if (registry.m_nextAtom == 0) return 0;  // every atom used
  auto windowClass = std::make_unique<WindowClass>();
  windowClass->m_info = *lpwcx;
  windowClass->m_name = lpwcx->lpszClassName;
  windowClass->m_info.lpszClassName = windowClass->m_name.c_str();
  windowClass->m_info.lpszMenuName = nullptr;  // menus are not supported
  windowClass->m_atom = registry.m_nextAtom++;
  registry.m_classes.push_back(std::move(windowClass));
  return registry.m_classes.back()->m_atom;
}

HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle,
                            int X, int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu,
                            HINSTANCE hInstance, LPVOID lpParam) {
  WindowClass* windowClass = FindClass(lpClassName);
  if (windowClass == nullptr) return nullptr;  // ERROR_CANNOT_FIND_WND_CLASS
  if (!EnsureSdlVideo()) {
    std::fprintf(stderr, "CreateWindowExA: no display could be opened: %s\n", SdlVideoError());
    return nullptr;
  }
  // Always an OpenGL window: the Direct3D part makes its GL context on it.
  Uint32 flags = SDL_WINDOW_OPENGL;
  if (dwStyle & WS_POPUP) flags |= SDL_WINDOW_BORDERLESS;
  flags |= (dwStyle & WS_VISIBLE) ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN;
  const int width = nWidth < 1 ? 1 : nWidth;
  const int height = nHeight < 1 ? 1 : nHeight;
  SDL_Window* sdlWindow =
      SDL_CreateWindow(lpWindowName != nullptr ? lpWindowName : "", X, Y, width, height, flags);
  if (sdlWindow == nullptr) {
    std::fprintf(stderr, "CreateWindowExA: the window could not be made: %s\n", SDL_GetError());
    return nullptr;
  }
  // Windows shows the class's large icon in the task switcher and its small
  // one in the title bar; an SDL window has one icon, the large one.
  if (SDL_Surface* icon = SurfaceFromIcon(windowClass->m_info.hIcon))
    SDL_SetWindowIcon(sdlWindow, icon);
  auto record = std::make_unique<WindowRecord>();
  record->m_sdlWindow = sdlWindow;
  record->m_proc = windowClass->m_info.lpfnWndProc;
  Registry& registry = GetRegistry();
  registry.m_windows.push_back(std::move(record));
  // Windows sends WM_NCCREATE, WM_CREATE, WM_SIZE and friends through the
  // procedure from here. The program does its set-up after CreateWindowExA
  // returns and needs none of them, so none are sent.
  return HwndFromRecord(registry.m_windows.back().get());
}
