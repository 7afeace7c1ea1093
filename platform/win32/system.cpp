// The small user32/kernel32/gdi32 calls, for both backends: module handle,
// screen size, cursor and stock-brush handles, and the cursor display counter.
// What the screen is and how the cursor shows is the backend's
// (sdl_system.cpp, web_system.cpp); icons are too (icon.cpp, web_system.cpp).
// Limits: GetSystemMetrics knows SM_CXSCREEN and SM_CYSCREEN only (others 0);
// the handles returned for cursor and brush are placeholders.
#include "platform_hooks.h"
#include "win32/win32_internal.h"

namespace platform {
namespace {

int g_screenWidthOverride = 0;
int g_screenHeightOverride = 0;
int g_cursorCount = 0;  // Windows' display counter: the cursor shows while >= 0

// Addresses of these give the fixed placeholder handles.
int g_moduleTag;
int g_arrowCursorTag;
int g_blackBrushTag;
int g_whiteBrushTag;

}  // namespace

void SetScreenSizeOverride(int width, int height) {
  g_screenWidthOverride = width;
  g_screenHeightOverride = height;
}

void ResetSystemHooks() { SetScreenSizeOverride(0, 0); }

}  // namespace platform

using namespace platform;

HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) {
  if (lpModuleName != nullptr) return nullptr;  // no other modules exist here
  return reinterpret_cast<HMODULE>(&g_moduleTag);
}

int WINAPI GetSystemMetrics(int nIndex) {
  if (nIndex != SM_CXSCREEN && nIndex != SM_CYSCREEN) return 0;
  if (g_screenWidthOverride > 0 && g_screenHeightOverride > 0)
    return nIndex == SM_CXSCREEN ? g_screenWidthOverride : g_screenHeightOverride;
  return ScreenMetric(nIndex);
}

HCURSOR WINAPI LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName) {
  // Only the system arrow exists; the program has no cursor resources.
  if (hInstance != nullptr || lpCursorName != IDC_ARROW) return nullptr;
  return reinterpret_cast<HCURSOR>(&g_arrowCursorTag);
}

HGDIOBJ WINAPI GetStockObject(int i) {
  if (i == BLACK_BRUSH) return &g_blackBrushTag;
  if (i == WHITE_BRUSH) return &g_whiteBrushTag;
  return nullptr;
}

int WINAPI ShowCursor(BOOL bShow) {
  g_cursorCount += bShow ? 1 : -1;
  ShowSystemCursor(g_cursorCount >= 0);
  return g_cursorCount;
}
