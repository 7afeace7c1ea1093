// The entry: window class, window, Direct3D, scene, then the message and
// frame loop, which draws a frame whenever no window message is pending.
#include "app/app.h"
#include "world/world.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow) {
  MSG uMsg;
  ZeroMemory(&uMsg, sizeof(uMsg));

  WNDCLASSEXA winClass;
  winClass.cbSize = sizeof(WNDCLASSEXA);
  winClass.style = CS_HREDRAW | CS_VREDRAW;
  winClass.lpfnWndProc = WindowProc;
  winClass.cbClsExtra = 0;
  winClass.cbWndExtra = 0;
  winClass.hInstance = hInstance;
  winClass.hIcon = LoadIconA(hInstance, MAKEINTRESOURCEA(107));
  winClass.hIconSm = LoadIconA(hInstance, MAKEINTRESOURCEA(107));
  winClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
  winClass.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
  winClass.lpszMenuName = NULL;
  winClass.lpszClassName = "MY_WINDOWS_CLASS";

  if (RegisterClassExA(&winClass) == 0) return E_FAIL;

  g_screenWidth = GetSystemMetrics(SM_CXSCREEN) - 200;
  g_screenHeight = GetSystemMetrics(SM_CYSCREEN) - 200;

  g_hWnd = CreateWindowExA(0, "MY_WINDOWS_CLASS", "Direct3D (DX9) - FULL Screen",
                           WS_POPUP | WS_VISIBLE | WS_SYSMENU, 20, 20, g_screenWidth,
                           g_screenHeight, NULL, NULL, hInstance, NULL);

  if (InitDirect3D(hInstance) != 0) return 1;
  if (SetupScene() != 0) return 2;

  while (uMsg.message != WM_QUIT) {
    if (PeekMessageA(&uMsg, NULL, 0, 0, PM_REMOVE)) {
      TranslateMessage(&uMsg);
      DispatchMessageA(&uMsg);
    } else {
      g_keyboard.Poll();
      RenderFrame();
    }
  }
  return 0;
}
