// What the rest of the layer needs from the Win32 part in a web page: the
// canvas behind an HWND (the page has one, id "canvas"; CreateWindowExA
// sizes, places and shows it), the viewport, and whether the page has the
// keyboard focus.
#pragma once

#include <windows.h>

#include "win32/page_screen.h"

namespace platform {

// The page's viewport now (web_system.cpp).
PageViewport CurrentViewport();

// The CSS selector of the canvas of a window made by CreateWindowExA, as the
// Emscripten HTML5 and WebGL calls take it, or null for any other handle.
const char* CanvasFromHwnd(HWND hwnd);

// True while the page has the keyboard focus (document.hasFocus()).
bool PageHasFocus();

// Starts turning the page's key, focus and unload events into window
// messages for `hwnd` (web_events.cpp; once, by CreateWindowExA).
void InstallPageEventHandlers(HWND hwnd);

}  // namespace platform
