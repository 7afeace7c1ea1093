// Headless start-up and frames of the program; see headless_run.h.
#include "headless_run.h"

#include <png.h>

#include <cstdlib>
#include <cstring>

#include "app/app.h"
#include "platform_hooks.h"
#include "world/world.h"

namespace headless {

bool StartProgram(int width, int height, const DeviceFilter& filter, bool visible) {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  HINSTANCE instance = GetModuleHandleA(NULL);
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = "ENDLESS_FIELD_HEADLESS";
  RegisterClassExA(&windowClass);
  g_screenWidth = width;
  g_screenHeight = height;
  const int at = visible ? 20 : 0;
  g_hWnd = CreateWindowExA(0, "ENDLESS_FIELD_HEADLESS", "endless-field-headless",
                           visible ? WS_POPUP | WS_VISIBLE : WS_POPUP, at, at, width, height, NULL,
                           NULL, instance, NULL);

  // The scripted keyboard stands in for a focused window.
  platform::SetKeyboardFocusOverride(1);
  platform::UseManualClock(0);
  if (InitDirect3D(instance) != 0) return false;
  if (filter) g_pd3dDevice = filter(g_pd3dDevice);
  SetupScene();
  return true;
}

void RunFrame(int dik, DWORD msPerFrame) {
  platform::ReleaseAllKeys();
  if (dik != 0) platform::SetKeyDown(static_cast<BYTE>(dik), true);
  platform::AdvanceManualClock(msPerFrame);
  g_keyboard.Poll();
  RenderFrame();
}

bool ReadFrame(std::vector<uint8_t>* rgba, int* width, int* height) {
  return platform::ReadBackBuffer(g_pd3dDevice, rgba, width, height);
}

bool WritePng(const std::string& path, const std::vector<uint8_t>& rgba, int width, int height,
              std::string* error) {
  png_image image;
  memset(&image, 0, sizeof(image));
  image.version = PNG_IMAGE_VERSION;
  image.width = width;
  image.height = height;
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(size_t(width) * height * 3);
  for (size_t i = 0, n = size_t(width) * height; i < n; ++i) memcpy(&rgb[i * 3], &rgba[i * 4], 3);
  if (!png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr)) {
    *error = image.message;
    return false;
  }
  return true;
}

}  // namespace headless
