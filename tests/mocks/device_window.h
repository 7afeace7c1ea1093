// What a test needs before it can make a real device on the layer: a window
// (a hidden popup of a plain class, on SDL's offscreen driver in tests) and
// the program's own presentation parameters, windowed with a 16-bit depth
// buffer and no vsync.
#pragma once

#include <windows.h>
#include <d3d9.h>

namespace device_window {

// A window of the given client size, made once per process per size; null
// when no window can be made (no display).
HWND TestWindow(int width, int height);

D3DPRESENT_PARAMETERS ProgramPresentParameters(UINT width, UINT height);

}  // namespace device_window
