// The window procedure: Escape and close requests end the loop.
#include "app/app.h"

LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE) PostQuitMessage(0);
      return 0;
    case WM_CLOSE:
      // The window is left to the end of the process, not destroyed here.
      PostQuitMessage(0);
      return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(hWnd, message, wParam, lParam);
  }
}
