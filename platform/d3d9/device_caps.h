// The capability record the layer reports for its one HAL adapter: what the
// OpenGL 3.3 back end can do of the fixed-function pipeline.
#pragma once

#include <d3d9.h>

namespace platform {

// maxTextureSize: GL_MAX_TEXTURE_SIZE of the probed context.
void FillDeviceCaps(UINT maxTextureSize, D3DCAPS9* caps);

}  // namespace platform
