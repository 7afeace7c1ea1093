// The decoded-image cache's seam where nothing tells the loader when a frame
// is presented (under the real Direct3D on Windows; the image fuzzer, whose
// inputs follow each other too fast for a file's stamp): it keeps nothing,
// and each load decodes its file.
#include "decoded_cache.h"

namespace platform {

bool ForgetDecodedAtFirstFrame() { return false; }

}  // namespace platform
