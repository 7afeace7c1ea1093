// The decoded-image cache's seam where the layer's own device presents
// (Linux, the page): the kept levels go at its first Present.
#include "d3d9/first_frame.h"
#include "decoded_cache.h"

namespace platform {

bool ForgetDecodedAtFirstFrame() { return CallAtFirstPresent(ForgetDecoded); }

}  // namespace platform
