// The layer's own keyboard: 256 bytes indexed by DIK_* scan code, 0x80 while
// a key is down (keyboard_state.cpp). On the desktop SDL's key events keep it
// current through an event watch, so it sees every key event when PeekMessageA
// pumps and also events pushed with SDL_PushEvent (sdl_keyboard_state.cpp); in
// a web page the page's key events do (web_keyboard_state.cpp). Losing focus releases every
// key.
#pragma once

#include <windows.h>

namespace platform {

// Starts following the key events (once; later calls do nothing).
void InstallKeyboardWatch();

// Copies the 256 key bytes into `state`.
void CopyKeyboardState(BYTE* state);

// True for a window CreateWindowExA made (one whose focus can be followed).
bool IsKeyboardWindow(HWND hwnd);

// True when the window has keyboard focus (SDL's focus, unless a test
// forced it with SetKeyboardFocusOverride).
bool WindowHasKeyboardFocus(HWND hwnd);

// The backend's own answer (SDL's keyboard focus, or the page's), which
// WindowHasKeyboardFocus gives unless a test forced it
// (sdl_keyboard_state.cpp, web_keyboard_state.cpp).
bool WindowHasSystemFocus(HWND hwnd);

// Part of ResetDInputHooks: no focus override, every key up.
void ResetKeyboardState();

}  // namespace platform
