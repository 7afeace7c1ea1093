// What the capture tool needs from the platform it runs on: the program's own
// start-up without its message loop, then one frame at a time with one key
// held and the clock stepped by hand.
//
// capture_linux.cpp runs it on our layer (tools/headless/, SDL's offscreen
// driver); capture_windows.cpp on the real Direct3D 9 and D3DX, with its own
// DirectInput keyboard and timeGetTime, so that the Windows build under Wine
// can be compared with ours frame by frame.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace capture {

// The window, the scripted keyboard, the clock at 0, InitDirect3D and
// SetupScene, at the given back-buffer size. Image paths are relative to the
// current directory. False when InitDirect3D fails (its message went to
// stderr).
bool StartProgram(int width, int height);

// One pass of the program's loop body: the clock advances msPerFrame, `dik`
// (0: none) is the only key down, the keyboard is polled and RenderFrame
// draws and presents. The presented frame is written as an RGB PNG to every
// path of `pngPaths`; false when one of them could not be written (the
// reason went to stderr).
bool RunFrame(int dik, DWORD msPerFrame, const std::vector<std::string>& pngPaths);

// The process's resident memory in kB, or -1 where the platform does not
// say (--memory-every).
long ResidentMemoryKb();

// Ends the process with `code` once stdout and stderr are written out.
[[noreturn]] void Exit(int code);

}  // namespace capture
