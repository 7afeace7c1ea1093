// Windows in a web page: CreateWindowExA (window_class.cpp) makes the page's
// canvas the window: placed at (X, Y) in the page, sized in CSS and
// drawing-buffer pixels alike, shown with WS_VISIBLE.
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
