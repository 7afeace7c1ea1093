// The box of MessageBoxA (message_box.cpp) on SDL: a real modal box when a
// display is up, none on the offscreen and dummy drivers.
// Limits: only MB_ICONERROR picks an icon.
#include "win32/sdl_window.h"
#include "win32/win32_internal.h"

namespace platform {
namespace {

bool ShowSdlMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
  SDL_MessageBoxButtonData button{};
  button.flags = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
  button.buttonid = IDOK;
  button.text = "OK";
  SDL_MessageBoxData data{};
  data.flags = (type & MB_ICONERROR) ? SDL_MESSAGEBOX_ERROR : 0;
  data.window = SdlWindowFromHwnd(owner);
  data.title = caption;
  data.message = text;
  data.numbuttons = 1;
  data.buttons = &button;
  int pressed = 0;
  return SDL_ShowMessageBox(&data, &pressed) == 0;
}

}  // namespace

void ShowMessageBoxWindow(HWND owner, const char* text, const char* caption, UINT type) {
  if (SdlVideoHasRealDisplay()) ShowSdlMessageBox(owner, text, caption, type);
}

}  // namespace platform
