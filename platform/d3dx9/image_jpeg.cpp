// JPEG decoding through libturbojpeg. The header is parsed with
// tjDecompressHeader3 before any pixel buffer exists. Any libjpeg warning
// (which is how truncated data shows up) is treated as a failure rather than
// returning a half-grey picture. CMYK/YCCK files are reported as Unsupported.
// JPEG has no alpha; the alpha bytes of the output are 0xFF.
#include "image_decoders.h"

#include <turbojpeg.h>

#include <climits>

namespace platform {
namespace image_detail {
namespace {

class TurboJpegDecoder {
 public:
  TurboJpegDecoder() : m_handle(tjInitDecompress()) {}
  ~TurboJpegDecoder() {
    if (m_handle) tjDestroy(m_handle);
  }
  TurboJpegDecoder(const TurboJpegDecoder&) = delete;
  TurboJpegDecoder& operator=(const TurboJpegDecoder&) = delete;
  tjhandle Get() const { return m_handle; }

 private:
  tjhandle m_handle;
};

bool ReadHeader(tjhandle handle, const std::uint8_t* data, std::size_t size, ImageFileInfo* info,
                ImageError* error) {
  if (!handle) return Fail(error, ImageError::OutOfMemory);
  if (size > ULONG_MAX) return Fail(error, ImageError::Corrupt);
  int width = 0, height = 0, subsampling = 0, colorspace = 0;
  if (tjDecompressHeader3(handle, data, static_cast<unsigned long>(size), &width, &height,
                          &subsampling, &colorspace) != 0)
    return Fail(error, ImageError::Corrupt);
  if (width <= 0 || height <= 0) return Fail(error, ImageError::Corrupt);
  if (colorspace == TJCS_CMYK || colorspace == TJCS_YCCK)
    return Fail(error, ImageError::Unsupported);
  info->format = ImageFormat::Jpeg;
  info->width = static_cast<std::uint32_t>(width);
  info->height = static_cast<std::uint32_t>(height);
  info->hasAlpha = false;
  return true;
}

}  // namespace

bool JpegReadInfo(const std::uint8_t* data, std::size_t size, ImageFileInfo* info,
                  ImageError* error) {
  TurboJpegDecoder decoder;
  return ReadHeader(decoder.Get(), data, size, info, error);
}

bool JpegDecode(const std::uint8_t* data, std::size_t size, std::uint32_t maxDimension, Image* out,
                ImageError* error) {
  TurboJpegDecoder decoder;
  ImageFileInfo info;
  if (!ReadHeader(decoder.Get(), data, size, &info, error)) return false;
  if (!CheckDimensions(info.width, info.height, maxDimension, error)) return false;

  const std::size_t stride = static_cast<std::size_t>(info.width) * 4;
  std::vector<std::uint8_t> pixels(stride * info.height);
  const int flags = TJFLAG_STOPONWARNING | TJFLAG_LIMITSCANS | TJFLAG_ACCURATEDCT;
  if (tjDecompress2(decoder.Get(), data, static_cast<unsigned long>(size), pixels.data(),
                    static_cast<int>(info.width), static_cast<int>(stride),
                    static_cast<int>(info.height), TJPF_BGRA, flags) != 0)
    return Fail(error, ImageError::Corrupt);

  out->info = info;
  out->pixels.swap(pixels);
  return true;
}

}  // namespace image_detail
}  // namespace platform
