// What the Win32 part's own files share: window records behind HWNDs, the
// window-class lookup, posting to the message queue, and each file's reset of
// its test hooks. Not seen by the program; the Direct3D part uses sdl_window.h.
#pragma once

#include <windows.h>

#include <SDL.h>

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
WindowRecord* FindWindowRecordBySdlId(Uint32 windowId);
HWND HwndFromRecord(WindowRecord* record);

// Destroys a window the way DestroyWindow does for the program: the window is
// hidden, its posted messages are dropped and it receives WM_DESTROY. The SDL
// window itself stays (hidden) so that a GL context made on it stays valid.
void DestroyWindowRecord(WindowRecord* record);

// Appends a message to the posted-message queue. False when the queue is full.
bool PostWindowMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Drops every posted message of a window.
void DropWindowMessages(HWND hwnd);

// The image of an icon handle from LoadIconA, or null for any other handle.
SDL_Surface* SurfaceFromIcon(HICON icon);

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
