// The decoded-image cache's seam under the real Direct3D (Windows): nothing
// tells the loader when a frame is presented, so it keeps nothing and each
// load decodes its file.
#include "decoded_cache.h"

namespace platform {

bool ForgetDecodedAtFirstFrame() { return false; }

}  // namespace platform
