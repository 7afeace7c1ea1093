// The limit of the pipeline: a minimal OpenGL 3.3 core program that draws a
// Recording (the program's own frames) with nothing else around it. Same
// window size, the same strip, cube and pyramid vertex data, one
// glDrawArrays per object with its texture bound and its world matrix
// uploaded, a trivial shader (texture × colour, linear fog on the eye depth),
// drawing straight into a window of the kind the layer makes for the program
// (same flags, same depth request), then swap, and glFinish per frame on the
// offscreen driver as the layer does. EF_GL=es makes it an OpenGL ES 3.0
// program, as the layer's ES path is.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "recording.h"

namespace bench {

// Opens its own SDL window and GL context of width × height, replays every
// frame of `recording` once and stores each frame's wall time in seconds.
// `visible` shows the window at (20, 20), as the viewer's; otherwise it is
// hidden, as the headless program's.
// lastFrameRgba (optional) receives the last frame, bottom row first;
// *depthBits the depth bits the window got. beforeFrame (optional) runs
// before each frame with its index (the profiler's start switch).
bool RunMinimalGl(const Recording& recording, int width, int height, bool visible,
                  std::vector<double>* frameSeconds, std::vector<uint8_t>* lastFrameRgba,
                  int* depthBits, std::string* error,
                  const std::function<void(size_t)>& beforeFrame = nullptr);

}  // namespace bench
