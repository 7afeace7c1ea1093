// MessageBoxA, for both backends: one line on stderr, then a modal box the
// backend shows (sdl_message_box.cpp, web_message_box.cpp); the line tells an
// unattended run's log what it waits for. Either way the result is IDOK: the
// program only ever asks for an OK button.
// Limits: one OK button whatever the type asks for.
#include "win32/message_box.h"

#include <cstdio>
#include <utility>

#include "platform_hooks.h"
#include "win32/win32_internal.h"

namespace platform {
namespace {

MessageBoxHook g_messageBoxHook;

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
  ShowMessageBoxWindow(hWnd, text, caption, uType);
  return IDOK;
}
