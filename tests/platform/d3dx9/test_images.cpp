// Builders for tiny image files used by the D3DX tests (see test_images.h).
#include "test_images.h"

#include <turbojpeg.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace test_images {
namespace {

void PutU32BE(Bytes* out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out->push_back(static_cast<std::uint8_t>(v >> shift));
}

void PutU32LE(Bytes* out, std::uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) out->push_back(static_cast<std::uint8_t>(v >> shift));
}

void PutU16LE(Bytes* out, std::uint16_t v) {
  out->push_back(static_cast<std::uint8_t>(v));
  out->push_back(static_cast<std::uint8_t>(v >> 8));
}

void PutChunk(Bytes* png, const char type[5], const Bytes& data) {
  PutU32BE(png, static_cast<std::uint32_t>(data.size()));
  const std::size_t typeAt = png->size();
  png->insert(png->end(), type, type + 4);
  png->insert(png->end(), data.begin(), data.end());
  const uLong crc = crc32(0, png->data() + typeAt, static_cast<uInt>(4 + data.size()));
  PutU32BE(png, static_cast<std::uint32_t>(crc));
}

Bytes PngSignature() { return {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}; }

Bytes Ihdr(std::uint32_t width, std::uint32_t height, int bitDepth, int colorType) {
  Bytes ihdr;
  PutU32BE(&ihdr, width);
  PutU32BE(&ihdr, height);
  ihdr.push_back(static_cast<std::uint8_t>(bitDepth));
  ihdr.push_back(static_cast<std::uint8_t>(colorType));
  ihdr.push_back(0);  // deflate
  ihdr.push_back(0);  // adaptive filtering
  ihdr.push_back(0);  // not interlaced
  return ihdr;
}

Bytes Deflate(const Bytes& raw) {
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  Bytes out(size);
  if (compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK)
    throw std::runtime_error("compress2 failed");
  out.resize(size);
  return out;
}

}  // namespace

std::string Hex(std::uint32_t argb) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%08X", static_cast<unsigned>(argb));
  return text;
}

std::uint32_t PixelAt(const std::uint8_t* bgra, std::size_t pitch, std::uint32_t x,
                      std::uint32_t y) {
  const std::uint8_t* p = bgra + pitch * y + std::size_t(x) * 4;
  return Argb(p[3], p[2], p[1], p[0]);
}

Bytes MakePng(std::uint32_t width, std::uint32_t height, int bitDepth, int colorType,
              const Bytes& rows, const Bytes& palette, const Bytes& trns) {
  const std::size_t rowBytes = rows.size() / height;
  Bytes filtered;
  for (std::uint32_t y = 0; y < height; ++y) {
    filtered.push_back(0);
    filtered.insert(filtered.end(), rows.begin() + y * rowBytes, rows.begin() + (y + 1) * rowBytes);
  }
  Bytes png = PngSignature();
  PutChunk(&png, "IHDR", Ihdr(width, height, bitDepth, colorType));
  if (!palette.empty()) PutChunk(&png, "PLTE", palette);
  if (!trns.empty()) PutChunk(&png, "tRNS", trns);
  PutChunk(&png, "IDAT", Deflate(filtered));
  PutChunk(&png, "IEND", {});
  return png;
}

Bytes MakePngFromArgb(std::uint32_t width, std::uint32_t height,
                      const std::vector<std::uint32_t>& argb, bool withAlpha) {
  Bytes rows;
  for (std::uint32_t p : argb) {
    rows.push_back(static_cast<std::uint8_t>(p >> 16));
    rows.push_back(static_cast<std::uint8_t>(p >> 8));
    rows.push_back(static_cast<std::uint8_t>(p));
    if (withAlpha) rows.push_back(static_cast<std::uint8_t>(p >> 24));
  }
  return MakePng(width, height, 8, withAlpha ? 6 : 2, rows);
}

Bytes MakePngHeaderOnly(std::uint32_t width, std::uint32_t height) {
  Bytes png = PngSignature();
  PutChunk(&png, "IHDR", Ihdr(width, height, 8, 6));
  PutChunk(&png, "IDAT", Deflate(Bytes(64, 0)));
  PutChunk(&png, "IEND", {});
  return png;
}

Bytes MakeJpeg(std::uint32_t width, std::uint32_t height, const std::vector<std::uint32_t>& argb) {
  Bytes bgra;
  for (std::uint32_t p : argb) {
    bgra.push_back(static_cast<std::uint8_t>(p));
    bgra.push_back(static_cast<std::uint8_t>(p >> 8));
    bgra.push_back(static_cast<std::uint8_t>(p >> 16));
    bgra.push_back(0xFF);
  }
  tjhandle handle = tjInitCompress();
  if (!handle) throw std::runtime_error("tjInitCompress failed");
  unsigned char* jpeg = nullptr;
  unsigned long jpegSize = 0;
  const int rc = tjCompress2(handle, bgra.data(), static_cast<int>(width),
                             static_cast<int>(width * 4), static_cast<int>(height), TJPF_BGRA,
                             &jpeg, &jpegSize, TJSAMP_444, 95, TJFLAG_ACCURATEDCT);
  Bytes out;
  if (rc == 0) out.assign(jpeg, jpeg + jpegSize);
  tjFree(jpeg);
  tjDestroy(handle);
  if (rc != 0) throw std::runtime_error("tjCompress2 failed");
  return out;
}

Bytes MakeBmp(std::int32_t width, std::int32_t height, int bitsPerPixel, bool topDown,
              const std::vector<std::uint32_t>& argb) {
  const std::uint32_t bytesPerPixel = static_cast<std::uint32_t>(bitsPerPixel) / 8;
  const std::uint32_t stride = (static_cast<std::uint32_t>(width) * bitsPerPixel + 31) / 32 * 4;
  const bool hasPixels = !argb.empty();
  const std::uint32_t imageSize = hasPixels ? stride * static_cast<std::uint32_t>(height) : 0;
  Bytes bmp;
  bmp.push_back('B');
  bmp.push_back('M');
  PutU32LE(&bmp, 54 + imageSize);
  PutU32LE(&bmp, 0);
  PutU32LE(&bmp, 54);
  PutU32LE(&bmp, 40);
  PutU32LE(&bmp, static_cast<std::uint32_t>(width));
  PutU32LE(&bmp, static_cast<std::uint32_t>(topDown ? -height : height));
  PutU16LE(&bmp, 1);
  PutU16LE(&bmp, static_cast<std::uint16_t>(bitsPerPixel));
  PutU32LE(&bmp, 0);  // BI_RGB
  PutU32LE(&bmp, imageSize);
  PutU32LE(&bmp, 2835);
  PutU32LE(&bmp, 2835);
  PutU32LE(&bmp, 0);
  PutU32LE(&bmp, 0);
  if (!hasPixels) return bmp;
  for (std::int32_t row = 0; row < height; ++row) {
    const std::int32_t y = topDown ? row : height - 1 - row;  // file row -> image row
    Bytes line;
    for (std::int32_t x = 0; x < width; ++x) {
      const std::uint32_t p = argb[static_cast<std::size_t>(y) * width + x];
      line.push_back(static_cast<std::uint8_t>(p));
      line.push_back(static_cast<std::uint8_t>(p >> 8));
      line.push_back(static_cast<std::uint8_t>(p >> 16));
      if (bytesPerPixel == 4) line.push_back(static_cast<std::uint8_t>(p >> 24));
    }
    line.resize(stride, 0);
    bmp.insert(bmp.end(), line.begin(), line.end());
  }
  return bmp;
}

std::vector<std::uint32_t> Solid(std::uint32_t width, std::uint32_t height, std::uint32_t argb) {
  return std::vector<std::uint32_t>(std::size_t(width) * height, argb);
}

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "d3dx9_test_XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  m_path = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(m_path, ignored);
}

std::string TempDir::Write(const std::string& name, const Bytes& bytes) const {
  const std::string path = m_path + "/" + name;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
  return path;
}

}  // namespace test_images
