// The small user32/kernel32/gdi32 calls in a web page: module handle, the
// page's viewport as the screen, icon, cursor and stock-brush handles, and
// the cursor display counter, which shows or hides the cursor over the
// canvas.
// Limits: GetSystemMetrics knows SM_CXSCREEN and SM_CYSCREEN only (others 0);
// icons are never loaded (the page shows its own); the handles returned for
// cursor and brush are placeholders.
#include <emscripten.h>

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

// The page's viewport stands in for the screen: the program sizes its window
// from it, so the canvas fits the page.
int WINAPI GetSystemMetrics(int nIndex) {
  if (nIndex != SM_CXSCREEN && nIndex != SM_CYSCREEN) return 0;
  if (g_screenWidthOverride > 0 && g_screenHeightOverride > 0)
    return nIndex == SM_CXSCREEN ? g_screenWidthOverride : g_screenHeightOverride;
  if (nIndex == SM_CXSCREEN) return EM_ASM_INT({ return window.innerWidth | 0; });
  return EM_ASM_INT({ return window.innerHeight | 0; });
}

HICON WINAPI LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName) { return nullptr; }

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
  EM_ASM({ Module['canvas'].style.cursor = $0 ? 'auto' : 'none'; }, g_cursorCount >= 0 ? 1 : 0);
  return g_cursorCount;
}
