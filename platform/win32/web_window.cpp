// Windows in a web page: CreateWindowExA (window_class.cpp) makes the page's
// canvas the window: its place and size are in device pixels, as the screen
// is (web_system.cpp), so the drawing buffer has the window's size and shows
// at one pixel per device pixel; shown with WS_VISIBLE. When the viewport
// changes, the canvas is scaled to fit it (page_screen.h) and its drawing
// buffer stays: the program's back buffer keeps its size.
// Limits: one window, the page's canvas (a second CreateWindowExA fails); no
// parent windows or extended styles.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <memory>

#include "win32/web_page.h"
#include "win32/win32_internal.h"

namespace platform {
namespace {

constexpr char kCanvas[] = "#canvas";

// Lives until the process ends and is never destroyed, so that code running
// from other globals' destructors can still ask about an HWND.
std::unique_ptr<WindowRecord>& GetWindow() {
  static auto* window = new std::unique_ptr<WindowRecord>;  // the canvas, once made
  return *window;
}

// The window on the screen it was made on (as the program saw the screen),
// for placing the canvas again.
ScreenWindow g_screenWindow;

void ShowCanvasBox() {
  const PageBox box = CanvasBoxInViewport(g_screenWindow, CurrentViewport());
  // clang-format off
  EM_ASM({
    var style = Module['canvas'].style;
    style.position = 'fixed';  // never widens a phone's layout viewport
    style.left = $0 + 'px';
    style.top = $1 + 'px';
    style.width = $2 + 'px';
    style.height = $3 + 'px';
  }, box.m_left, box.m_top, box.m_width, box.m_height);
  // clang-format on
}

// A turn of the phone, a resized browser window, full screen, a zoom.
EM_BOOL OnViewportResize(int eventType, const EmscriptenUiEvent* event, void* userData) {
  ShowCanvasBox();
  return EM_FALSE;
}

void PlaceCanvas(int x, int y, int width, int height, bool visible) {
  emscripten_set_canvas_element_size(kCanvas, width, height);
  g_screenWindow = {
      GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), x, y, width, height};
  ShowCanvasBox();
  emscripten_set_resize_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE,
                                 OnViewportResize);
  // clang-format off
  EM_ASM({
    var canvas = Module['canvas'];
    canvas.style.display = $0 ? 'block' : 'none';
    if ($0) canvas.focus();
  }, visible ? 1 : 0);
  // clang-format on
}

}  // namespace

WindowRecord* FindWindowRecord(HWND hwnd) {
  WindowRecord* window = GetWindow().get();
  if (hwnd == nullptr || window == nullptr || HwndFromRecord(window) != hwnd) return nullptr;
  return window->m_destroyed ? nullptr : window;
}

// The canvas only hides: a WebGL context made on it stays valid.
void HideDestroyedWindow(WindowRecord* record) {
  EM_ASM({ Module['canvas'].style.display = 'none'; });
}

const char* CanvasFromHwnd(HWND hwnd) {
  return FindWindowRecord(hwnd) != nullptr ? kCanvas : nullptr;
}

bool PageHasFocus() {
  return EM_ASM_INT({ return document.hasFocus() ? 1 : 0; }) != 0;
}

WindowRecord* MakeWindowRecord(const WNDCLASSEXA& windowClass, LPCSTR name, DWORD style, int x,
                               int y, int width, int height) {
  std::unique_ptr<WindowRecord>& window = GetWindow();
  if (window != nullptr) return nullptr;  // the page has one canvas
  PlaceCanvas(x, y, width, height, (style & WS_VISIBLE) != 0);
  if (name != nullptr) {
    EM_ASM({ document.title = UTF8ToString($0); }, name);
  }
  window = std::make_unique<WindowRecord>();
  window->m_proc = windowClass.lpfnWndProc;
  InstallPageEventHandlers(HwndFromRecord(window.get()));
  return window.get();
}

}  // namespace platform
