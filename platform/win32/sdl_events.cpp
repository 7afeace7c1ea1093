// SDL's events as window messages: key presses, close requests and focus
// changes of the windows CreateWindowExA made. PeekMessageA pumps them.
#include <SDL.h>

#include "win32/key_codes.h"
#include "win32/win32_internal.h"

namespace platform {
namespace {

void PostKeyMessage(const SDL_KeyboardEvent& key) {
  WindowRecord* record = FindWindowRecordBySdlId(key.windowID);
  if (record == nullptr) return;
  const UINT vk = VkFromSdlKey(key.keysym.scancode, key.keysym.sym);
  if (vk == 0) return;
  const bool keyUp = key.type == SDL_KEYUP;
  const bool alt = (key.keysym.mod & KMOD_ALT) != 0;
  const BYTE scanCode = ScanCodeFromSdlScancode(key.keysym.scancode);
  PostWindowMessage(HwndFromRecord(record), KeyMessageId(vk, keyUp, alt), vk,
                    KeyMessageLParam(scanCode, keyUp, key.repeat != 0, alt));
}

void PostWindowEventMessage(const SDL_WindowEvent& window) {
  WindowRecord* record = FindWindowRecordBySdlId(window.windowID);
  if (record == nullptr) return;
  HWND hwnd = HwndFromRecord(record);
  switch (window.event) {
    case SDL_WINDOWEVENT_CLOSE: PostWindowMessage(hwnd, WM_CLOSE, 0, 0); break;
    case SDL_WINDOWEVENT_FOCUS_GAINED: PostWindowMessage(hwnd, WM_SETFOCUS, 0, 0); break;
    case SDL_WINDOWEVENT_FOCUS_LOST: PostWindowMessage(hwnd, WM_KILLFOCUS, 0, 0); break;
    default: break;
  }
}

}  // namespace

// Every pending SDL event becomes a posted message. SDL_QUIT is dropped:
// closing the window already gave WM_CLOSE, and the program decides itself
// when to quit.
void PumpWindowEvents() {
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return;
  SDL_Event event;
  while (SDL_PollEvent(&event) != 0) {
    switch (event.type) {
      case SDL_KEYDOWN:
      case SDL_KEYUP: PostKeyMessage(event.key); break;
      case SDL_WINDOWEVENT: PostWindowEventMessage(event.window); break;
      default: break;
    }
  }
}

}  // namespace platform
