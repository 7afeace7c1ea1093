// Pixel operations on 32-bit BGRA images for the D3DX texture loaders:
// resizing (point, tent/bilinear, or unfiltered copy), 2x2 box reduction for mip
// levels, colour keying and forcing alpha opaque. No Direct3D or OpenGL here.
// Colour channels are filtered independently of alpha (no premultiplication).
#pragma once

#include <cstdint>
#include <vector>

namespace platform {

struct PixelBuffer {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::vector<std::uint8_t> bgra;  // width * height * 4, top row first
};

enum class ResampleFilter {
  None,   // no scaling: copy into the top-left corner, transparent black beyond the source
  Point,  // nearest source pixel
  Tent,   // bilinear when enlarging, tent-weighted average when shrinking
};

// `source` comes back as it is (moved, not copied) when it has the size asked for.
PixelBuffer Resample(PixelBuffer source, std::uint32_t width, std::uint32_t height,
                     ResampleFilter filter);

// The next mip level: each side halved (never below 1), averaging 2x2 blocks
// (box) or taking the top-left pixel of each block (point).
PixelBuffer HalveForMip(const PixelBuffer& source, bool point);

// Pixels whose 0xAARRGGBB value equals colorKey become 0 (transparent black).
void ApplyColorKey(PixelBuffer* image, std::uint32_t colorKey);

void ForceOpaque(PixelBuffer* image);

}  // namespace platform
