// MessageBoxA: one line on stderr, then a real modal box through SDL when a
// display is up (the line tells an unattended run's log what it waits for).
// Either way the result is IDOK: the program only ever asks for an OK button.
// Limits: one OK button whatever the type asks for; only MB_ICONERROR picks
// an icon.
#include "win32/message_box.h"

#include <cstdio>
#include <utility>

#include "platform_hooks.h"
#include "win32/sdl_window.h"
#include "win32/win32_internal.h"

namespace platform {
namespace {

MessageBoxHook g_messageBoxHook;

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

std::string FormatMessageBoxLine(const char* text, const char* caption) {
  std::string line = caption != nullptr ? caption : "Error";
  line += ": ";
  if (text != nullptr) line += text;
  return line;
}

void SetMessageBoxHook(MessageBoxHook hook) { g_messageBoxHook = std::move(hook); }

void ResetMessageBoxHook() { g_messageBoxHook = nullptr; }

}  // namespace platform

using namespace platform;

int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
  if (g_messageBoxHook) return g_messageBoxHook(hWnd, lpText, lpCaption, uType);
  const char* caption = lpCaption != nullptr ? lpCaption : "Error";
  const char* text = lpText != nullptr ? lpText : "";
  std::fprintf(stderr, "%s\n", FormatMessageBoxLine(lpText, lpCaption).c_str());
  std::fflush(stderr);
  if (SdlVideoHasRealDisplay()) ShowSdlMessageBox(hWnd, text, caption, uType);
  return IDOK;
}
