// The decoded-image cache of decoded_cache.h.
#include "decoded_cache.h"

#include <utility>

namespace platform {
namespace {

// Lives until the process ends, so that a load from another global's
// destructor finds it still there.
DecodedTexture*& Kept() {
  static DecodedTexture* s_kept = nullptr;
  return s_kept;
}

}  // namespace

bool TextureRequest::operator==(const TextureRequest& other) const {
  return device == other.device && path == other.path && fileId == other.fileId &&
         fileSize == other.fileSize && fileTime == other.fileTime && width == other.width &&
         height == other.height && mipLevels == other.mipLevels && usage == other.usage &&
         format == other.format && filter == other.filter && mipFilter == other.mipFilter &&
         colorKey == other.colorKey;
}

const DecodedTexture* FindDecoded(const TextureRequest& request) {
  const DecodedTexture* kept = Kept();
  return kept != nullptr && kept->request == request ? kept : nullptr;
}

void KeepDecoded(DecodedTexture&& decoded) {
  ForgetDecoded();
  if (!ForgetDecodedAtFirstFrame()) return;
  Kept() = new DecodedTexture(std::move(decoded));
}

void ForgetDecoded() {
  delete Kept();
  Kept() = nullptr;
}

}  // namespace platform
