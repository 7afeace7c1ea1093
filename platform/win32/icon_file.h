// Reading a Windows .ico file (the bytes of an icon resource). Pure: knows
// nothing of SDL. Limits: only 32-bit uncompressed (BI_RGB) images, the kind
// whose alpha channel carries the transparency; PNG-compressed and palette
// images are refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

struct IconImage {
  int m_width = 0;
  int m_height = 0;
  std::vector<uint8_t> m_bgra;  // top row first, 4 bytes per pixel: B, G, R, A
};

// The image of the file whose width is nearest `wantedSize` (the larger one
// on a tie), as LoadIcon picks the system's icon size. False for anything
// that is not a well-formed .ico with 32-bit images.
bool IconImageFromIco(const uint8_t* data, size_t size, int wantedSize, IconImage* out);

}  // namespace platform
