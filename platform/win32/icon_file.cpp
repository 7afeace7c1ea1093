// See icon_file.h. An .ico is a 6-byte header (0, type 1, count), one 16-byte
// entry per image (width, height, ..., size, offset; a width byte of 0 means
// 256), and each image as a BITMAPINFOHEADER of twice the icon's height
// (colour rows plus the AND mask), bottom row first.
#include "win32/icon_file.h"

#include <algorithm>
#include <cstdlib>

namespace platform {
namespace {

uint32_t ReadLe(const uint8_t* p, int bytes) {
  uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = value << 8 | p[i];
  return value;
}

// The image at [offset, offset + length) of the file, if it is one we read.
bool ReadImage(const uint8_t* data, size_t size, size_t offset, size_t length, IconImage* out) {
  constexpr size_t kHeaderSize = 40;
  if (offset > size || length > size - offset || length < kHeaderSize) return false;
  const uint8_t* header = data + offset;
  const int32_t width = static_cast<int32_t>(ReadLe(header + 4, 4));
  const int32_t doubleHeight = static_cast<int32_t>(ReadLe(header + 8, 4));
  const uint32_t bitCount = ReadLe(header + 14, 2);
  const uint32_t compression = ReadLe(header + 16, 4);
  if (ReadLe(header, 4) != kHeaderSize || bitCount != 32 || compression != 0) return false;
  if (width < 1 || width > 256 || doubleHeight < 2 || doubleHeight > 512 || doubleHeight % 2 != 0)
    return false;
  const int height = doubleHeight / 2;
  const size_t rowBytes = static_cast<size_t>(width) * 4;
  if (length - kHeaderSize < rowBytes * height) return false;
  out->m_width = width;
  out->m_height = height;
  out->m_bgra.resize(rowBytes * height);
  const uint8_t* rows = header + kHeaderSize;
  for (int y = 0; y < height; ++y) {
    const uint8_t* src = rows + rowBytes * (height - 1 - y);
    std::copy(src, src + rowBytes, out->m_bgra.begin() + rowBytes * y);
  }
  return true;
}

}  // namespace

bool IconImageFromIco(const uint8_t* data, size_t size, int wantedSize, IconImage* out) {
  constexpr size_t kEntrySize = 16;
  if (data == nullptr || out == nullptr || size < 6) return false;
  if (ReadLe(data, 2) != 0 || ReadLe(data + 2, 2) != 1) return false;
  const size_t count = ReadLe(data + 4, 2);
  if (count == 0 || size < 6 + count * kEntrySize) return false;
  const uint8_t* best = nullptr;
  int bestWidth = 0;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* entry = data + 6 + i * kEntrySize;
    const int width = entry[0] == 0 ? 256 : entry[0];
    const int distance = std::abs(width - wantedSize),
              bestDistance = std::abs(bestWidth - wantedSize);
    if (best == nullptr || distance < bestDistance ||
        (distance == bestDistance && width > bestWidth)) {
      best = entry;
      bestWidth = width;
    }
  }
  return ReadImage(data, size, ReadLe(best + 12, 4), ReadLe(best + 8, 4), out);
}

}  // namespace platform
