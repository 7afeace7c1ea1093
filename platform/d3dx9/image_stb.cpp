// JPEG and PNG decoding through stb_image, for builds where libjpeg-turbo and
// libpng do not exist (the browser build, where web_image_decoders.cpp makes it
// the PNG decoder and the JPEG header reader; the native tests compare it with
// those). Same contract as image_jpeg.cpp and image_png.cpp: the header is read
// before any pixel buffer exists, output is 8-bit BGRA, a JPEG's alpha bytes
// are 0xFF. Limits: stb_image's own IDCT and chroma upsampling give JPEG pixels
// up to 3 steps off libjpeg-turbo's; a truncated JPEG may decode with grey
// where the data ends instead of failing; a PNG's tRNS chunk counts as alpha
// for palette images only; 16-bit PNGs keep their high bytes; CMYK JPEGs are
// Corrupt rather than Unsupported.
#include "image_stb.h"

#include <climits>
#include <cstdlib>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_JPEG
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_NO_FAILURE_STRINGS
#include <stb_image.h>

namespace platform {
namespace image_detail {
namespace {

bool ReadHeader(const std::uint8_t* data, std::size_t size, ImageFormat format, ImageFileInfo* info,
                ImageError* error) {
  if (size > INT_MAX) return Fail(error, ImageError::Corrupt);
  int width = 0, height = 0, channels = 0;
  if (!stbi_info_from_memory(data, static_cast<int>(size), &width, &height, &channels))
    return Fail(error, ImageError::Corrupt);
  if (width <= 0 || height <= 0) return Fail(error, ImageError::Corrupt);
  info->format = format;
  info->width = static_cast<std::uint32_t>(width);
  info->height = static_cast<std::uint32_t>(height);
  // Grey + alpha or RGBA; stb reports a palette with tRNS as four channels too.
  info->hasAlpha = format == ImageFormat::Png && (channels == 2 || channels == 4);
  return true;
}

bool Decode(const std::uint8_t* data, std::size_t size, ImageFormat format,
            std::uint32_t maxDimension, Image* out, ImageError* error) {
  ImageFileInfo info;
  if (!ReadHeader(data, size, format, &info, error)) return false;
  if (!CheckDimensions(info.width, info.height, maxDimension, error)) return false;
  int width = 0, height = 0, channels = 0;
  stbi_uc* rgba = stbi_load_from_memory(data, static_cast<int>(size), &width, &height, &channels,
                                        STBI_rgb_alpha);
  if (!rgba) return Fail(error, ImageError::Corrupt);
  if (static_cast<std::uint32_t>(width) != info.width ||
      static_cast<std::uint32_t>(height) != info.height) {
    stbi_image_free(rgba);
    return Fail(error, ImageError::Corrupt);
  }
  const std::size_t bytes = static_cast<std::size_t>(info.width) * info.height * 4;
  std::vector<std::uint8_t> pixels(bytes);
  for (std::size_t i = 0; i < bytes; i += 4) {
    pixels[i] = rgba[i + 2];
    pixels[i + 1] = rgba[i + 1];
    pixels[i + 2] = rgba[i];
    pixels[i + 3] = rgba[i + 3];
  }
  stbi_image_free(rgba);
  out->info = info;
  out->pixels.swap(pixels);
  return true;
}

}  // namespace

bool StbReadInfo(const std::uint8_t* data, std::size_t size, ImageFormat format,
                 ImageFileInfo* info, ImageError* error) {
  return ReadHeader(data, size, format, info, error);
}

bool StbDecode(const std::uint8_t* data, std::size_t size, ImageFormat format,
               std::uint32_t maxDimension, Image* out, ImageError* error) {
  return Decode(data, size, format, maxDimension, out, error);
}

}  // namespace image_detail
}  // namespace platform
