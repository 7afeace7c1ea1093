// Hooks into the Linux layer for tests and the capture tool. Nothing here
// exists on Windows: only code outside the program (tests/, tools/) includes
// this header. Every hook defaults to the real behaviour; ResetHooks() puts
// all of them back.
#pragma once

#include <d3d9.h>
#include <dinput.h>
#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace platform {

// ---- Win32 ---------------------------------------------------------------
// MessageBoxA calls the hook instead of showing a box (or printing to stderr).
using MessageBoxHook =
    std::function<int(HWND owner, const char* text, const char* caption, UINT type)>;
void SetMessageBoxHook(MessageBoxHook hook);

// DefWindowProcA calls the hook instead of its default handling.
using DefWindowProcHook = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;
void SetDefWindowProcHook(DefWindowProcHook hook);

// RegisterClassExA fails (returns 0) while set.
void SetRegisterClassFails(bool fails);

// Empties the message queue and forgets a posted quit.
void ResetMessageQueue();

// Replaces the desktop size that GetSystemMetrics reports (0, 0: the real one).
void SetScreenSizeOverride(int width, int height);

// ---- Clock ---------------------------------------------------------------
// timeGetTime returns a manual value that only AdvanceManualClock moves.
void UseManualClock(DWORD startMs);
void AdvanceManualClock(DWORD ms);
void UseRealClock();

// ---- Direct3D 9 ----------------------------------------------------------
// Direct3DCreate9 calls the hook instead of making the layer's object.
using Direct3DCreate9Hook = std::function<IDirect3D9*(UINT sdkVersion)>;
void SetDirect3DCreate9Hook(Direct3DCreate9Hook hook);

// Failures of the layer's real Direct3D objects on demand.
struct D3DFaults {
  bool createFails = false;               // Direct3DCreate9 returns null
  bool displayModeFails = false;          // GetAdapterDisplayMode fails
  HRESULT checkDepthFormatResult = S_OK;  // CheckDeviceFormat(D3DFMT_D16) returns this if failing
  bool deviceCapsFails = false;           // IDirect3D9::GetDeviceCaps fails
  bool createDeviceFails = false;         // CreateDevice fails
  bool beginSceneFails = false;           // BeginScene fails
};
void SetD3DFaults(const D3DFaults& faults);

// Reads the device's back buffer as tightly packed RGBA rows, top row first
// (call after drawing, before or after Present). False for a foreign device.
bool ReadBackBuffer(IDirect3DDevice9* device, std::vector<uint8_t>* rgba, int* width, int* height);

// ---- DirectInput 8 -------------------------------------------------------
using DirectInput8CreateHook = std::function<HRESULT(HINSTANCE, DWORD, REFIID, LPVOID*, LPUNKNOWN)>;
void SetDirectInput8CreateHook(DirectInput8CreateHook hook);

// Sets a key of the layer's keyboard state directly (scan code DIK_*), as if
// SDL had reported it. Used by the capture tool to script the keyboard.
void SetKeyDown(BYTE dik, bool down);
void ReleaseAllKeys();

// Forces the keyboard-focus test of Acquire: 1 focused, 0 unfocused, -1 real.
void SetKeyboardFocusOverride(int focused);

// Puts every hook above back to the real behaviour.
void ResetHooks();

}  // namespace platform
