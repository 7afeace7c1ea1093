// The JPEG and PNG decoders of the browser build: stb_image (image_stb.cpp).
#include "image_stb.h"

namespace platform {
namespace image_detail {

bool JpegReadInfo(const std::uint8_t* data, std::size_t size, ImageFileInfo* info,
                  ImageError* error) {
  return StbReadInfo(data, size, ImageFormat::Jpeg, info, error);
}

bool JpegDecode(const std::uint8_t* data, std::size_t size, std::uint32_t maxDimension, Image* out,
                ImageError* error) {
  return StbDecode(data, size, ImageFormat::Jpeg, maxDimension, out, error);
}

bool PngReadInfo(const std::uint8_t* data, std::size_t size, ImageFileInfo* info,
                 ImageError* error) {
  return StbReadInfo(data, size, ImageFormat::Png, info, error);
}

bool PngDecode(const std::uint8_t* data, std::size_t size, std::uint32_t maxDimension, Image* out,
               ImageError* error) {
  return StbDecode(data, size, ImageFormat::Png, maxDimension, out, error);
}

}  // namespace image_detail
}  // namespace platform
