// Window classes, for both backends: RegisterClassExA keeps a copy of each
// class by name (case-insensitive, as Windows compares class names), and
// CreateWindowExA finds it again by name or atom, then has the backend make
// the window (window.cpp, web_window.cpp). Also the parts of a window record
// that do not depend on what the window is drawn in: its handle and its
// destruction.
// Limits: class names given as atoms are looked up by atom but cannot be
// registered; no menus; WM_CREATE and the other creation messages are not
// sent.
#include <cctype>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform_hooks.h"
#include "win32/win32_internal.h"

namespace platform {
namespace {

struct WindowClass {
  WNDCLASSEXA m_info{};
  std::string m_name;
  ATOM m_atom = 0;
};

// Lives until the process ends and is never destroyed, like the window
// records.
struct ClassRegistry {
  std::vector<std::unique_ptr<WindowClass>> m_classes;
  ATOM m_nextAtom = 0xC000;  // where Windows numbers registered classes from
};

ClassRegistry& GetClassRegistry() {
  static ClassRegistry* registry = new ClassRegistry;
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
  for (auto& windowClass : GetClassRegistry().m_classes) {
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

HWND HwndFromRecord(WindowRecord* record) { return reinterpret_cast<HWND>(record); }

void DestroyWindowRecord(WindowRecord* record) {
  if (record == nullptr || record->m_destroyed || record->m_destroying) return;
  record->m_destroying = true;
  HWND hwnd = HwndFromRecord(record);
  HideDestroyedWindow(record);
  DropWindowMessages(hwnd);
  // WM_DESTROY goes to the procedure while the window still counts as alive,
  // as on Windows; afterwards the handle is stale.
  record->m_proc(hwnd, WM_DESTROY, 0, 0);
  record->m_destroyed = true;
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
  ClassRegistry& registry = GetClassRegistry();
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
  WindowRecord* record = MakeWindowRecord(windowClass->m_info, lpWindowName, dwStyle, X, Y,
                                          nWidth < 1 ? 1 : nWidth, nHeight < 1 ? 1 : nHeight);
  if (record == nullptr) return nullptr;
  // Windows sends WM_NCCREATE, WM_CREATE, WM_SIZE and friends through the
  // procedure from here. The program does its set-up after CreateWindowExA
  // returns and needs none of them, so none are sent.
  return HwndFromRecord(record);
}
