// The limit of the pipeline: a minimal OpenGL 3.3 core program that draws a
// Recording (the program's own frames) with nothing else around it. Same
// window size, the same strip, cube and pyramid vertex data, one
// glDrawArrays per object with its texture bound and its world matrix
// uploaded, a trivial shader (texture × colour, linear fog on the eye depth),
// drawing straight into the window, then swap and glFinish per frame as the
// layer does on the offscreen driver.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "recording.h"

namespace bench {

// Opens its own SDL window and GL context of width × height, replays every
// frame of `recording` once and stores each frame's wall time in seconds.
// lastFrameRgba (optional) receives the last frame, bottom row first.
bool RunMinimalGl(const Recording& recording, int width, int height,
                  std::vector<double>* frameSeconds, std::vector<uint8_t>* lastFrameRgba,
                  std::string* error);

}  // namespace bench
