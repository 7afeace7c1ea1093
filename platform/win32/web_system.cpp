// The screen, the cursor and the icons of system.cpp in a web page: the
// page's viewport is the screen, the cursor over the canvas shows or hides,
// and icons are never loaded (the page shows its own).
#include <emscripten.h>

#include "win32/win32_internal.h"

namespace platform {

// The page's viewport stands in for the screen: the program sizes its window
// from it, so the canvas fits the page.
int ScreenMetric(int nIndex) {
  if (nIndex == SM_CXSCREEN) return EM_ASM_INT({ return window.innerWidth | 0; });
  return EM_ASM_INT({ return window.innerHeight | 0; });
}

void ShowSystemCursor(bool shown) {
  EM_ASM({ Module['canvas'].style.cursor = $0 ? 'auto' : 'none'; }, shown ? 1 : 0);
}

}  // namespace platform

HICON WINAPI LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName) { return nullptr; }
