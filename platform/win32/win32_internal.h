// What the Win32 part's own files share: window records behind HWNDs, the
// window-class lookup, posting to the message queue, and each file's reset of
// its test hooks. Not seen by the program; the Direct3D part uses sdl_window.h.
// Free of SDL itself, so that the page build (web_*.cpp, where a window is the
// page's canvas and m_sdlWindow stays null) shares it.
#pragma once

#include <windows.h>

#include <cstdint>

struct SDL_Window;

namespace platform {

// A window made by CreateWindowExA. Its address is the HWND. Records live for
// the whole process, so a stale HWND never points at freed memory.
struct WindowRecord {
  SDL_Window* m_sdlWindow = nullptr;
  WNDPROC m_proc = nullptr;
  bool m_destroying = false;  // WM_DESTROY is being sent
  bool m_destroyed = false;
};

// The live (not destroyed) record of an HWND, or null for any other handle.
WindowRecord* FindWindowRecord(HWND hwnd);
// The live record of the window SDL knows by this id, or null.
WindowRecord* FindWindowRecordBySdlId(std::uint32_t windowId);
HWND HwndFromRecord(WindowRecord* record);

// Makes the window CreateWindowExA asked for (window.cpp, web_window.cpp):
// what it is drawn in and its record, of a class RegisterClassExA kept; the
// size is at least 1 x 1. Null when the window cannot be made.
WindowRecord* MakeWindowRecord(const WNDCLASSEXA& windowClass, LPCSTR name, DWORD style, int x,
                               int y, int width, int height);

// Destroys a window the way DestroyWindow does for the program: the window is
// hidden, its posted messages are dropped and it receives WM_DESTROY. The SDL
// window or canvas itself stays (hidden) so that a GL context made on it stays
// valid.
void DestroyWindowRecord(WindowRecord* record);
// Hides what a window is drawn in (window.cpp, web_window.cpp), for
// DestroyWindowRecord.
void HideDestroyedWindow(WindowRecord* record);

// Appends a message to the posted-message queue. False when the queue is full.
bool PostWindowMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Drops every posted message of a window.
void DropWindowMessages(HWND hwnd);

// Turns the windowing system's pending events into posted messages
// (sdl_events.cpp, web_events.cpp). PeekMessageA calls it first.
void PumpWindowEvents();

// The backend's screen width (SM_CXSCREEN) or height (SM_CYSCREEN) for
// GetSystemMetrics, 0 when unknown; and its cursor shown or hidden for
// ShowCursor (sdl_system.cpp, web_system.cpp).
int ScreenMetric(int nIndex);
void ShowSystemCursor(bool shown);

// Shows MessageBoxA's box and returns once it is closed, or at once when the
// backend has nowhere to show it (sdl_message_box.cpp, web_message_box.cpp).
// Text and caption are never null.
void ShowMessageBoxWindow(HWND owner, const char* text, const char* caption, UINT type);

// True when SDL video is up on a driver that shows things to a person (not
// the offscreen or dummy driver).
bool SdlVideoHasRealDisplay();

// Each file's part of ResetWin32Hooks().
void ResetWindowHooks();
void ResetSystemHooks();
void ResetMessageBoxHook();
void ResetDefWindowProcHook();
void ResetClockHooks();

}  // namespace platform
