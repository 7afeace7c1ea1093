// Test helpers for the D3DX tests: build small PNG, JPEG and BMP files in
// memory (PNG chunks by hand with zlib, JPEG with libturbojpeg, BMP by hand),
// and a scratch directory that is removed when the test ends.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace test_images {

using Bytes = std::vector<std::uint8_t>;

// A BGRA pixel as the decoders produce it, written as 0xAARRGGBB.
inline std::uint32_t Argb(std::uint8_t a, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return (std::uint32_t(a) << 24) | (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | b;
}

// "0xAARRGGBB", so that pixel mismatches read well in test output.
std::string Hex(std::uint32_t argb);

// Reads pixel (x, y) of a BGRA buffer with the given row pitch in bytes.
std::uint32_t PixelAt(const std::uint8_t* bgra, std::size_t pitch, std::uint32_t x,
                      std::uint32_t y);
inline std::uint32_t PixelAt(const Bytes& bgra, std::uint32_t width, std::uint32_t x,
                             std::uint32_t y) {
  return PixelAt(bgra.data(), std::size_t(width) * 4, x, y);
}

// PNG with the given IHDR fields; `rows` holds the unfiltered scanlines packed
// as PNG stores them (no filter byte: one is added per row). Optional PLTE and
// tRNS chunk contents.
Bytes MakePng(std::uint32_t width, std::uint32_t height, int bitDepth, int colorType,
              const Bytes& rows, const Bytes& palette = {}, const Bytes& trns = {});
// 8-bit RGBA or RGB PNG from 0xAARRGGBB pixels, top row first.
Bytes MakePngFromArgb(std::uint32_t width, std::uint32_t height,
                      const std::vector<std::uint32_t>& argb, bool withAlpha);
// Just the signature and an IHDR claiming the given size, followed by a tiny IDAT and IEND.
Bytes MakePngHeaderOnly(std::uint32_t width, std::uint32_t height);

// Baseline 4:4:4 JPEG, quality 95, from 0xAARRGGBB pixels (alpha ignored).
Bytes MakeJpeg(std::uint32_t width, std::uint32_t height, const std::vector<std::uint32_t>& argb);

// BMP with a 40-byte BITMAPINFOHEADER, BI_RGB, 24 or 32 bits per pixel.
// Negative height in the header when topDown. The fourth byte of 32-bit pixels
// is the pixel's alpha.
Bytes MakeBmp(std::int32_t width, std::int32_t height, int bitsPerPixel, bool topDown,
              const std::vector<std::uint32_t>& argb);

// Uniform-colour image helper.
std::vector<std::uint32_t> Solid(std::uint32_t width, std::uint32_t height, std::uint32_t argb);

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return m_path; }
  // Writes the bytes to Path()/name and returns the full path.
  std::string Write(const std::string& name, const Bytes& bytes) const;

 private:
  std::string m_path;
};

}  // namespace test_images
