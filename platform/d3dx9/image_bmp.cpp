// Windows BMP decoding, hand-written. Supported: BITMAPINFOHEADER or later
// (40, 52, 56, 108, 124-byte headers), 24-bit and 32-bit, uncompressed BI_RGB,
// bottom-up and top-down. 32-bit BI_BITFIELDS is accepted only with the
// standard X8R8G8B8/A8R8G8B8 masks. 32-bit BI_RGB files are taken as having no
// alpha (the fourth byte is padding), as Windows treats them. Anything else
// (palettes, 16-bit, RLE, OS/2 headers, PNG/JPEG-in-BMP) is Unsupported.
#include "image_decoders.h"

#include <climits>

namespace platform {
namespace image_detail {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;

std::uint16_t U16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

std::uint32_t U32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

struct BmpLayout {
  ImageFileInfo info;
  std::uint32_t dataOffset;
  std::uint32_t bitsPerPixel;
  bool topDown;
};

bool ParseHeader(const std::uint8_t* data, std::size_t size, BmpLayout* layout, ImageError* error) {
  if (size < kFileHeaderSize + 4) return Fail(error, ImageError::Corrupt);
  const std::uint32_t headerSize = U32(data + 14);
  if (headerSize < kInfoHeaderSize) return Fail(error, ImageError::Unsupported);  // OS/2 1.x
  if (headerSize > size - kFileHeaderSize) return Fail(error, ImageError::Corrupt);

  const std::uint8_t* h = data + kFileHeaderSize;
  const std::int32_t width = static_cast<std::int32_t>(U32(h + 4));
  const std::int32_t height = static_cast<std::int32_t>(U32(h + 8));
  const std::uint16_t planes = U16(h + 12);
  const std::uint16_t bitsPerPixel = U16(h + 14);
  const std::uint32_t compression = U32(h + 16);

  if (planes != 1 || width <= 0 || height == 0 || height == INT32_MIN)
    return Fail(error, ImageError::Corrupt);
  if (bitsPerPixel != 24 && bitsPerPixel != 32) return Fail(error, ImageError::Unsupported);

  bool hasAlpha = false;
  if (compression == kBiBitfields && bitsPerPixel == 32) {
    // Masks follow a 40-byte header, or sit inside a V2+ header at the same offset.
    const std::size_t masksAt = kFileHeaderSize + kInfoHeaderSize;
    if (size < masksAt + 12) return Fail(error, ImageError::Corrupt);
    if (U32(data + masksAt) != 0x00FF0000u || U32(data + masksAt + 4) != 0x0000FF00u ||
        U32(data + masksAt + 8) != 0x000000FFu)
      return Fail(error, ImageError::Unsupported);
    const std::uint32_t alphaMask = headerSize >= 56 ? U32(data + masksAt + 12) : 0;
    if (alphaMask != 0 && alphaMask != 0xFF000000u) return Fail(error, ImageError::Unsupported);
    hasAlpha = alphaMask != 0;
  } else if (compression != kBiRgb) {
    return Fail(error, ImageError::Unsupported);
  }

  layout->info.format = ImageFormat::Bmp;
  layout->info.width = static_cast<std::uint32_t>(width);
  layout->info.height = height < 0 ? static_cast<std::uint32_t>(-static_cast<std::int64_t>(height))
                                   : static_cast<std::uint32_t>(height);
  layout->info.hasAlpha = hasAlpha;
  layout->dataOffset = U32(data + 10);
  layout->bitsPerPixel = bitsPerPixel;
  layout->topDown = height < 0;
  return true;
}

}  // namespace

bool BmpReadInfo(const std::uint8_t* data, std::size_t size, ImageFileInfo* info,
                 ImageError* error) {
  BmpLayout layout{};
  if (!ParseHeader(data, size, &layout, error)) return false;
  *info = layout.info;
  return true;
}

bool BmpDecode(const std::uint8_t* data, std::size_t size, std::uint32_t maxDimension, Image* out,
               ImageError* error) {
  BmpLayout layout{};
  if (!ParseHeader(data, size, &layout, error)) return false;
  const std::uint32_t width = layout.info.width;
  const std::uint32_t height = layout.info.height;
  if (!CheckDimensions(width, height, maxDimension, error)) return false;

  // Rows are padded to 4 bytes; the last row's padding may be missing.
  const std::uint32_t bytesPerPixel = layout.bitsPerPixel / 8;
  const std::uint64_t srcStride =
      (static_cast<std::uint64_t>(width) * layout.bitsPerPixel + 31) / 32 * 4;
  const std::uint64_t needed = static_cast<std::uint64_t>(layout.dataOffset) +
                               srcStride * (height - 1) + std::uint64_t(width) * bytesPerPixel;
  if (layout.dataOffset < kFileHeaderSize + kInfoHeaderSize || needed > size)
    return Fail(error, ImageError::Corrupt);

  const std::size_t dstStride = static_cast<std::size_t>(width) * 4;
  std::vector<std::uint8_t> pixels(dstStride * height);
  for (std::uint32_t y = 0; y < height; ++y) {
    const std::uint32_t srcRow = layout.topDown ? y : height - 1 - y;
    const std::uint8_t* src = data + layout.dataOffset + srcStride * srcRow;
    std::uint8_t* dst = pixels.data() + dstStride * y;
    for (std::uint32_t x = 0; x < width; ++x, src += bytesPerPixel, dst += 4) {
      dst[0] = src[0];
      dst[1] = src[1];
      dst[2] = src[2];
      dst[3] = layout.info.hasAlpha ? src[3] : 0xFF;
    }
  }
  out->info = layout.info;
  out->pixels.swap(pixels);
  return true;
}

}  // namespace image_detail
}  // namespace platform
