// Internal interface between image_file.cpp (format sniffing), the file
// reading of each system (image_read_posix.cpp, image_read_windows.cpp) and
// the per-format decoders: image_bmp.cpp everywhere; for JPEG and PNG
// image_jpeg.cpp and image_png.cpp on Linux, web_image_decoders.cpp in the
// browser, wic_image_decoders.cpp on Windows. Each decoder reads from a
// complete in-memory copy of the file.
#pragma once

#include "image_file.h"

namespace platform {
namespace image_detail {

// Fails with DimensionsTooLarge when either side exceeds maxDimension or the
// pixel count exceeds kMaxImagePixels; Corrupt for a zero side.
bool CheckDimensions(std::uint32_t width, std::uint32_t height, std::uint32_t maxDimension,
                     ImageError* error);

bool PngReadInfo(const std::uint8_t* data, std::size_t size, ImageFileInfo* info,
                 ImageError* error);
bool PngDecode(const std::uint8_t* data, std::size_t size, std::uint32_t maxDimension, Image* out,
               ImageError* error);

bool JpegReadInfo(const std::uint8_t* data, std::size_t size, ImageFileInfo* info,
                  ImageError* error);
bool JpegDecode(const std::uint8_t* data, std::size_t size, std::uint32_t maxDimension, Image* out,
                ImageError* error);

bool BmpReadInfo(const std::uint8_t* data, std::size_t size, ImageFileInfo* info,
                 ImageError* error);
bool BmpDecode(const std::uint8_t* data, std::size_t size, std::uint32_t maxDimension, Image* out,
               ImageError* error);

inline bool Fail(ImageError* error, ImageError code) {
  if (error) *error = code;
  return false;
}

}  // namespace image_detail
}  // namespace platform
