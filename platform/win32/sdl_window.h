// What the rest of the layer needs from the Win32 window part: SDL video
// start-up and the SDL window behind an HWND.
#pragma once

#include <windows.h>

#include <SDL.h>

#include <string>

namespace platform {

// Starts SDL's video subsystem once (GetSystemMetrics and CreateWindowExA
// call it). False when no display can be had; then
// SdlVideoError() says why.
bool EnsureSdlVideo();
const char* SdlVideoError();

// How many pixels a window unit holds in windows made with
// SDL_WINDOW_ALLOW_HIGHDPI (as every window here is): 2 on a Wayland output of
// scale 2, 1 where SDL measures windows in pixels (X11, offscreen) or where
// SDL_VIDEO_HIGHDPI_DISABLED turns HiDPI off (sdl_system.cpp).
float SdlWindowScale();
// The scale of a screen whose desktop mode SDL gives in window units and whose
// largest mode is `physical`: 1 unless that mode is larger with the same shape.
float ScaleFromDisplayModes(const SDL_DisplayMode& desktop, const SDL_DisplayMode& physical);
// A length in pixels in window units, rounded to the nearest.
int WindowUnitsFromPixels(int pixels, float scale);

// The SDL window of a window created by CreateWindowExA, or null for any
// other handle (null, stale, foreign). A window destroyed by WM_CLOSE's
// default handling counts as stale, but its SDL window is only hidden, never
// destroyed: a GL context made on it stays valid until the process ends.
SDL_Window* SdlWindowFromHwnd(HWND hwnd);

// Returns at once for a window that shows; for one the program made visible
// that is now minimised or unmapped, after the next SDL event or `maxMs`
// (window.cpp). Present calls it.
void WaitWhileWindowHidden(SDL_Window* window, Uint32 maxMs);

// SDL binds GL to its windows one way at a time (on X11: GLX, or EGL), and
// changes that only while no GL window exists. ReleaseSdlWindows destroys the
// SDL window behind every HWND (the HWNDs stay) and returns how many there
// were; RemakeSdlWindows makes each live one again, with its title, place,
// size, flags and icon, under SDL's GL settings of the moment. An HWND whose
// window cannot be made again has none (false, with SDL's first reason).
// Neither may run while a GL context lives on one of the windows.
int ReleaseSdlWindows();
bool RemakeSdlWindows(std::string* error);

// The HWND of an SDL window made by CreateWindowExA, or null.
HWND HwndFromSdlWindow(SDL_Window* window);

// The image of an icon handle from LoadIconA, or null for any other handle.
SDL_Surface* SurfaceFromIcon(HICON icon);

}  // namespace platform
