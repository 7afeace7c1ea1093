// DefWindowProcA: the default handling the program relies on. Alt+F4 asks the
// window to close (Windows goes through WM_SYSCOMMAND/SC_CLOSE; the result is
// the same WM_CLOSE) and WM_CLOSE destroys the window, which sends
// WM_DESTROY. Every other message is ignored and returns 0.
#include <utility>

#include "platform_hooks.h"
#include "win32/win32_internal.h"

namespace platform {
namespace {

DefWindowProcHook g_defWindowProcHook;

constexpr LPARAM kAltHeldBit = LPARAM{1} << 29;

}  // namespace

void SetDefWindowProcHook(DefWindowProcHook hook) { g_defWindowProcHook = std::move(hook); }

void ResetDefWindowProcHook() { g_defWindowProcHook = nullptr; }

}  // namespace platform

using namespace platform;

LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (g_defWindowProcHook) return g_defWindowProcHook(hWnd, Msg, wParam, lParam);
  WindowRecord* record = FindWindowRecord(hWnd);
  if (record == nullptr) return 0;
  switch (Msg) {
    case WM_SYSKEYDOWN:
      if (wParam == VK_F4 && (lParam & kAltHeldBit) != 0) PostWindowMessage(hWnd, WM_CLOSE, 0, 0);
      return 0;
    case WM_CLOSE: DestroyWindowRecord(record); return 0;
    default: return 0;
  }
}
