// What the rest of the layer needs from the Win32 window part: SDL video
// start-up and the SDL window behind an HWND.
#pragma once

#include <windows.h>

#include <SDL.h>

namespace platform {

// Starts SDL's video subsystem once (GetSystemMetrics and CreateWindowExA
// call it). False when no display can be had; then
// SdlVideoError() says why.
bool EnsureSdlVideo();
const char* SdlVideoError();

// The SDL window of a window created by CreateWindowExA, or null for any
// other handle (null, stale, foreign). A window destroyed by WM_CLOSE's
// default handling counts as stale, but its SDL window is only hidden, never
// destroyed: a GL context made on it stays valid until the process ends.
SDL_Window* SdlWindowFromHwnd(HWND hwnd);

// Returns at once for a window that shows; for one the program made visible
// that is now minimised or unmapped, after the next SDL event or `maxMs`
// (window.cpp). Present calls it.
void WaitWhileWindowHidden(SDL_Window* window, Uint32 maxMs);

// The HWND of an SDL window made by CreateWindowExA, or null.
HWND HwndFromSdlWindow(SDL_Window* window);

// The image of an icon handle from LoadIconA, or null for any other handle.
SDL_Surface* SurfaceFromIcon(HICON icon);

}  // namespace platform
