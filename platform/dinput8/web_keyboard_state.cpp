// The keyboard state behind DirectInput's keyboard device in a web page, fed
// by the page's key events (KeyboardEvent.code through ScanCodeFromDomCode).
// The page losing focus releases every key: a key held while the user
// switches away would otherwise never see its key-up.
#include <emscripten/html5.h>

#include <array>

#include "dinput8/keyboard_state.h"
#include "platform_hooks.h"
#include "win32/dom_key_codes.h"
#include "win32/web_page.h"

namespace platform {
namespace {

// One thread: the page's events run between the program's frames.
std::array<BYTE, 256> g_keys{};
int g_focusOverride = -1;
bool g_watchInstalled = false;

void ReleaseEveryKey() { g_keys.fill(0); }

EM_BOOL OnKey(int eventType, const EmscriptenKeyboardEvent* event, void* userData) {
  const BYTE dik = ScanCodeFromDomCode(event->code);
  if (dik != 0) g_keys[dik] = eventType == EMSCRIPTEN_EVENT_KEYDOWN ? 0x80 : 0;
  return EM_FALSE;  // the window's handler decides about the page's default
}

EM_BOOL OnBlur(int eventType, const EmscriptenFocusEvent* event, void* userData) {
  ReleaseEveryKey();
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

void CopyKeyboardState(BYTE* state) {
  for (size_t i = 0; i < g_keys.size(); ++i) state[i] = g_keys[i];
}

bool IsKeyboardWindow(HWND hwnd) { return CanvasFromHwnd(hwnd) != nullptr; }

bool WindowHasKeyboardFocus(HWND hwnd) {
  if (g_focusOverride >= 0) return g_focusOverride != 0;
  return CanvasFromHwnd(hwnd) != nullptr && PageHasFocus();
}

void ResetKeyboardState() {
  g_focusOverride = -1;
  ReleaseEveryKey();
}

void SetKeyDown(BYTE dik, bool down) { g_keys[dik] = down ? 0x80 : 0; }

void ReleaseAllKeys() { ReleaseEveryKey(); }

void SetKeyboardFocusOverride(int focused) { g_focusOverride = focused < 0 ? -1 : (focused != 0); }

}  // namespace platform
