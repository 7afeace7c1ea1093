// Runs the program's own start-up and frames headless: the window class and
// window as WinMain makes them, the keyboard focus forced on, the manual
// clock, InitDirect3D and SetupScene, then frames of RenderFrame with one
// scripted key held. SDL's offscreen video driver is used unless
// SDL_VIDEODRIVER is already set.
//
// Limits: one program per process (the program's globals are not reset);
// the window procedure's messages are never pumped, so Escape ends nothing.
#pragma once

#include <windows.h>
#include <d3d9.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "key_script.h"

namespace headless {

// Called with the new device before SetupScene; what it returns becomes the
// program's device (a recording wrapper, say). Optional.
using DeviceFilter = std::function<IDirect3DDevice9*(IDirect3DDevice9* device)>;

// Window, keyboard, manual clock at 0, Direct3D and the scene, at the given
// back-buffer size. Image paths are relative to the current directory.
// False when InitDirect3D fails (its message box text went to stderr).
// `visible` makes the window as the viewer's: shown, at (20, 20).
bool StartProgram(int width, int height, const DeviceFilter& filter = nullptr,
                  bool visible = false);

// One pass of the program's loop body with `dik` held (0: none): the clock
// advances msPerFrame, the keyboard is polled and RenderFrame draws and
// presents.
void RunFrame(int dik, DWORD msPerFrame);

// The last frame as RGBA rows, top first.
bool ReadFrame(std::vector<uint8_t>* rgba, int* width, int* height);

// Writes RGBA rows as an 8-bit RGB PNG; on failure *error holds libpng's reason.
bool WritePng(const std::string& path, const std::vector<uint8_t>& rgba, int width, int height,
              std::string* error);

}  // namespace headless
