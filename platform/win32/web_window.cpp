// Window classes and windows in a web page: RegisterClassExA keeps a copy of
// each class by name (case-insensitive, as Windows compares class names);
// CreateWindowExA makes the page's canvas the window: placed at (X, Y) in the
// page, sized in CSS and drawing-buffer pixels alike, shown with WS_VISIBLE.
// Limits: one window, the page's canvas (a second CreateWindowExA fails); no
// parent windows, menus or extended styles; class names given as atoms are
// looked up by atom but cannot be registered; WM_CREATE and the other
// creation messages are not sent.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cctype>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform_hooks.h"
#include "win32/web_page.h"
#include "win32/win32_internal.h"

namespace platform {
namespace {

constexpr char kCanvas[] = "#canvas";

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
  std::unique_ptr<WindowRecord> m_window;  // the canvas, once made
  ATOM m_nextAtom = 0xC000;                // where Windows numbers registered classes from
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

void PlaceCanvas(int x, int y, int width, int height, bool visible) {
  emscripten_set_canvas_element_size(kCanvas, width, height);
  // clang-format off
  EM_ASM({
    var canvas = Module['canvas'];
    canvas.style.position = 'absolute';
    canvas.style.left = $0 + 'px';
    canvas.style.top = $1 + 'px';
    canvas.style.width = $2 + 'px';
    canvas.style.height = $3 + 'px';
    canvas.style.display = $4 ? 'block' : 'none';
    if ($4) canvas.focus();
  }, x, y, width, height, visible ? 1 : 0);
  // clang-format on
}

}  // namespace

void SetRegisterClassFails(bool fails) { g_registerClassFails = fails; }

void ResetWindowHooks() { g_registerClassFails = false; }

WindowRecord* FindWindowRecord(HWND hwnd) {
  WindowRecord* window = GetRegistry().m_window.get();
  if (hwnd == nullptr || window == nullptr || HwndFromRecord(window) != hwnd) return nullptr;
  return window->m_destroyed ? nullptr : window;
}

HWND HwndFromRecord(WindowRecord* record) { return reinterpret_cast<HWND>(record); }

void DestroyWindowRecord(WindowRecord* record) {
  if (record == nullptr || record->m_destroyed || record->m_destroying) return;
  record->m_destroying = true;
  HWND hwnd = HwndFromRecord(record);
  // The canvas only hides: a WebGL context made on it stays valid.
  EM_ASM({ Module['canvas'].style.display = 'none'; });
  DropWindowMessages(hwnd);
  // WM_DESTROY goes to the procedure while the window still counts as alive,
  // as on Windows; afterwards the handle is stale.
  record->m_proc(hwnd, WM_DESTROY, 0, 0);
  record->m_destroyed = true;
}

const char* CanvasFromHwnd(HWND hwnd) {
  return FindWindowRecord(hwnd) != nullptr ? kCanvas : nullptr;
}

bool PageHasFocus() {
  return EM_ASM_INT({ return document.hasFocus() ? 1 : 0; }) != 0;
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
  Registry& registry = GetRegistry();
  if (registry.m_window != nullptr) return nullptr;  // the page has one canvas
  PlaceCanvas(X, Y, nWidth < 1 ? 1 : nWidth, nHeight < 1 ? 1 : nHeight,
              (dwStyle & WS_VISIBLE) != 0);
  if (lpWindowName != nullptr) {
    EM_ASM({ document.title = UTF8ToString($0); }, lpWindowName);
  }
  registry.m_window = std::make_unique<WindowRecord>();
  registry.m_window->m_proc = windowClass->m_info.lpfnWndProc;
  HWND hwnd = HwndFromRecord(registry.m_window.get());
  InstallPageEventHandlers(hwnd);
  // Windows sends WM_NCCREATE, WM_CREATE, WM_SIZE and friends through the
  // procedure from here. The program does its set-up after CreateWindowExA
  // returns and needs none of them, so none are sent.
  return hwnd;
}
