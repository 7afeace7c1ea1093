// The keyboard state (keyboard_state.cpp) in a web page, fed by the page's
// key events (KeyboardEvent.code through ScanCodeFromDomCode).
// The page losing focus releases every key: a key held while the user
// switches away would otherwise never see its key-up. The page's on-screen
// keys (index.html) send the same key events as the keyboard.
#include <emscripten.h>
#include <emscripten/html5.h>

#include "dinput8/keyboard_state.h"
#include "platform_hooks.h"
#include "win32/dom_key_codes.h"
#include "win32/web_page.h"

namespace platform {
namespace {

bool g_watchInstalled = false;

EM_BOOL OnKey(int eventType, const EmscriptenKeyboardEvent* event, void* userData) {
  const BYTE dik = ScanCodeFromDomCode(event->code);
  if (dik != 0) SetKeyDown(dik, eventType == EMSCRIPTEN_EVENT_KEYDOWN);
  return EM_FALSE;  // the window's handler decides about the page's default
}

EM_BOOL OnBlur(int eventType, const EmscriptenFocusEvent* event, void* userData) {
  ReleaseAllKeys();
  return EM_FALSE;
}

}  // namespace

// On the document, so that the window's own handlers (web_events.cpp) keep
// theirs: both see every key in the bubbling phase.
void InstallKeyboardWatch() {
  if (g_watchInstalled) return;
  const char* document = EMSCRIPTEN_EVENT_TARGET_DOCUMENT;
  emscripten_set_keydown_callback(document, nullptr, EM_FALSE, OnKey);
  emscripten_set_keyup_callback(document, nullptr, EM_FALSE, OnKey);
  emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnBlur);
  g_watchInstalled = true;
}

bool IsKeyboardWindow(HWND hwnd) { return CanvasFromHwnd(hwnd) != nullptr; }

bool WindowHasSystemFocus(HWND hwnd) { return CanvasFromHwnd(hwnd) != nullptr && PageHasFocus(); }

}  // namespace platform

// One byte of the key array (0x80 while DIK code `dik` is down), for the
// page's tests to see what the program sees (Module._platform_key_state(dik)).
extern "C" EMSCRIPTEN_KEEPALIVE unsigned platform_key_state(unsigned dik) {
  BYTE state[256];
  platform::CopyKeyboardState(state);
  return dik < 256 ? state[dik] : 0;
}
