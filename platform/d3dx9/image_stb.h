// The stb_image decoder (image_stb.cpp) under its own names, so that one
// program can hold it beside the libjpeg-turbo and libpng decoders.
#pragma once

#include "image_decoders.h"

namespace platform {
namespace image_detail {

// format: Jpeg or Png, as sniffed by image_file.cpp.
bool StbReadInfo(const std::uint8_t* data, std::size_t size, ImageFormat format,
                 ImageFileInfo* info, ImageError* error);
bool StbDecode(const std::uint8_t* data, std::size_t size, ImageFormat format,
               std::uint32_t maxDimension, Image* out, ImageError* error);

}  // namespace image_detail
}  // namespace platform
