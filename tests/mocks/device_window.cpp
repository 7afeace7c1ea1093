// Window and presentation parameters for device tests (see device_window.h).
#include "device_window.h"

#include <map>
#include <utility>

namespace device_window {
namespace {

const char kClassName[] = "EF_DEVICE_TEST_WINDOW";

LRESULT CALLBACK TestWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

HWND TestWindow(int width, int height) {
  static const bool s_registered = [] {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = TestWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kClassName;
    return RegisterClassExA(&wc) != 0;
  }();
  if (!s_registered) return nullptr;
  static std::map<std::pair<int, int>, HWND> s_windows;
  HWND& window = s_windows[{width, height}];
  if (!window) {
    window = CreateWindowExA(0, kClassName, "device test", WS_POPUP, 0, 0, width, height, nullptr,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
  }
  return window;
}

D3DPRESENT_PARAMETERS ProgramPresentParameters(UINT width, UINT height) {
  D3DPRESENT_PARAMETERS pp{};
  pp.BackBufferWidth = width;
  pp.BackBufferHeight = height;
  pp.BackBufferFormat = D3DFMT_X8R8G8B8;
  pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
  pp.Windowed = TRUE;
  pp.EnableAutoDepthStencil = TRUE;
  pp.AutoDepthStencilFormat = D3DFMT_D16;
  pp.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
  return pp;
}

}  // namespace device_window
