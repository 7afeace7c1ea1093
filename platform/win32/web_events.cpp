// The page's events as window messages: key presses on the page become
// WM_KEYDOWN/WM_KEYUP (or the WM_SYS... pair) with Windows' key codes, focus
// changes WM_SETFOCUS/WM_KILLFOCUS, and leaving the page WM_CLOSE. The
// browser delivers them while the program's loop is yielded (in Present or a
// message box), so each handler posts its message straight away and
// PumpWindowEvents has nothing left to do.
// Keys the program gets are kept from the page (no scrolling on the arrows,
// no find on F3...), except with Ctrl or Meta held, which stay the browser's.
#include <emscripten/html5.h>

#include "win32/dom_key_codes.h"
#include "win32/key_messages.h"
#include "win32/web_page.h"
#include "win32/win32_internal.h"

namespace platform {
namespace {

HWND g_pageWindow = nullptr;

EM_BOOL OnKey(int eventType, const EmscriptenKeyboardEvent* event, void* userData) {
  if (FindWindowRecord(g_pageWindow) == nullptr) return EM_FALSE;
  const UINT vk = VkFromDomCode(event->code);
  if (vk == 0) return EM_FALSE;
  const bool keyUp = eventType == EMSCRIPTEN_EVENT_KEYUP;
  const bool alt = event->altKey != 0;
  const BYTE scanCode = ScanCodeFromDomCode(event->code);
  PostWindowMessage(g_pageWindow, KeyMessageId(vk, keyUp, alt), vk,
                    KeyMessageLParam(scanCode, keyUp, event->repeat != 0, alt));
  return event->ctrlKey == 0 && event->metaKey == 0;
}

EM_BOOL OnFocus(int eventType, const EmscriptenFocusEvent* event, void* userData) {
  if (FindWindowRecord(g_pageWindow) == nullptr) return EM_FALSE;
  PostWindowMessage(g_pageWindow, eventType == EMSCRIPTEN_EVENT_FOCUS ? WM_SETFOCUS : WM_KILLFOCUS,
                    0, 0);
  return EM_FALSE;
}

// The page cannot be kept open (no prompt is asked for): the program only
// learns that it is closing, as from a window manager's close request.
const char* OnBeforeUnload(int eventType, const void* reserved, void* userData) {
  if (FindWindowRecord(g_pageWindow) != nullptr) PostWindowMessage(g_pageWindow, WM_CLOSE, 0, 0);
  return nullptr;
}

}  // namespace

void InstallPageEventHandlers(HWND hwnd) {
  const bool first = g_pageWindow == nullptr;
  g_pageWindow = hwnd;
  if (!first) return;
  // Bubbling phase on the window: a message box in the page keeps its keys
  // to itself (see web_message_box.cpp).
  const char* window = EMSCRIPTEN_EVENT_TARGET_WINDOW;
  emscripten_set_keydown_callback(window, nullptr, EM_FALSE, OnKey);
  emscripten_set_keyup_callback(window, nullptr, EM_FALSE, OnKey);
  emscripten_set_focus_callback(window, nullptr, EM_FALSE, OnFocus);
  emscripten_set_blur_callback(window, nullptr, EM_FALSE, OnFocus);
  emscripten_set_beforeunload_callback(nullptr, OnBeforeUnload);
}

void PumpWindowEvents() {}

}  // namespace platform
