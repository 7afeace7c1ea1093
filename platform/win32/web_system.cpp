// The screen, the cursor and the icons of system.cpp in a web page: the
// page's viewport in device pixels is the screen, the cursor over the canvas
// shows or hides, and icons are never loaded (the page shows its own).
#include <emscripten.h>
#include <emscripten/html5.h>

#include "win32/page_screen.h"
#include "win32/web_page.h"
#include "win32/win32_internal.h"

namespace platform {

PageViewport CurrentViewport() {
  PageViewport viewport;
  viewport.m_cssWidth = EM_ASM_DOUBLE({ return window.innerWidth; });
  viewport.m_cssHeight = EM_ASM_DOUBLE({ return window.innerHeight; });
  viewport.m_ratio = emscripten_get_device_pixel_ratio();
  return viewport;
}

// The page's viewport in device pixels stands in for the screen: the program
// sizes its window from it, so the canvas fits the page with one pixel of its
// drawing buffer per device pixel (not per CSS pixel, which is 2 or 3 device
// pixels on a phone).
int ScreenMetric(int nIndex) {
  const PageViewport viewport = CurrentViewport();
  return nIndex == SM_CXSCREEN ? DeviceWidth(viewport) : DeviceHeight(viewport);
}

void ShowSystemCursor(bool shown) {
  EM_ASM({ Module['canvas'].style.cursor = $0 ? 'auto' : 'none'; }, shown ? 1 : 0);
}

}  // namespace platform

HICON WINAPI LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName) { return nullptr; }
