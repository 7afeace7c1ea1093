// Writes the image fuzzer's seed corpus: small valid PNG (libpng), JPEG
// (libturbojpeg) and BMP (by hand) files covering the variants the decoders
// handle, plus a few malformed ones (truncated files, headers claiming
// 60000 x 60000). Every seed is generated here; nothing comes from elsewhere.
//
// Usage: make_seeds OUTPUT_DIR
#include <png.h>
#include <turbojpeg.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "make_seeds: %s\n", what.c_str());
  std::exit(1);
}

// A deterministic colourful test pattern, one byte per channel.
std::uint8_t Pattern(std::uint32_t x, std::uint32_t y, int channel) {
  return static_cast<std::uint8_t>(x * 37 + y * 91 + channel * 59 + ((x ^ y) & 3) * 17);
}

// ---- PNG ---------------------------------------------------------------

void PngWrite(png_structp png, png_bytep data, png_size_t size) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + size);
}

void PngFlush(png_structp) {}

struct PngOptions {
  std::uint32_t width, height;
  int bitDepth, colorType;
  bool interlaced = false;
  bool withTrns = false;
};

int Channels(int colorType) {
  switch (colorType) {
    case PNG_COLOR_TYPE_GRAY: return 1;
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB: return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
    default: return 1;  // palette index
  }
}

// Palette entries used at a bit depth: six colours, fewer if they do not fit.
int PaletteSize(int bitDepth) { return bitDepth >= 4 ? 6 : 1 << bitDepth; }

// Builds one scanline packed as PNG stores it (sub-byte depths MSB first,
// 16-bit big-endian).
Bytes PngRow(const PngOptions& o, std::uint32_t y) {
  const int channels = Channels(o.colorType);
  const std::size_t bits = std::size_t(o.width) * channels * o.bitDepth;
  Bytes row((bits + 7) / 8, 0);
  std::size_t bit = 0;
  for (std::uint32_t x = 0; x < o.width; ++x) {
    for (int c = 0; c < channels; ++c) {
      const unsigned max = (1u << o.bitDepth) - 1;
      unsigned value = Pattern(x, y, c);
      if (o.bitDepth == 16)
        value = value * 257u + x;
      else
        value &= max;
      if (o.colorType == PNG_COLOR_TYPE_PALETTE) value %= PaletteSize(o.bitDepth);
      for (int b = o.bitDepth - 1; b >= 0; --b, ++bit)
        if ((value >> b) & 1u) row[bit / 8] |= static_cast<std::uint8_t>(0x80u >> (bit % 8));
    }
  }
  return row;
}

bool EncodePng(const PngOptions& o, Bytes* out) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info) return false;
  std::vector<Bytes> rows;
  for (std::uint32_t y = 0; y < o.height; ++y) rows.push_back(PngRow(o, y));
  std::vector<png_bytep> pointers;
  for (Bytes& row : rows) pointers.push_back(row.data());
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, out, PngWrite, PngFlush);
  png_set_IHDR(png, info, o.width, o.height, o.bitDepth, o.colorType,
               o.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (o.colorType == PNG_COLOR_TYPE_PALETTE) {
    png_color palette[6] = {{255, 0, 0},   {0, 255, 0}, {0, 0, 255},
                            {255, 255, 0}, {0, 0, 0},   {255, 255, 255}};
    png_set_PLTE(png, info, palette, PaletteSize(o.bitDepth));
    if (o.withTrns) {
      png_byte alpha[3] = {0, 128, 255};
      png_set_tRNS(png, info, alpha, 3, nullptr);
    }
  } else if (o.withTrns) {
    png_color_16 key{};
    key.gray = 0;
    key.red = Pattern(0, 0, 0);
    key.green = Pattern(0, 0, 1);
    key.blue = Pattern(0, 0, 2);
    png_set_tRNS(png, info, nullptr, 0, &key);
  }
  png_write_info(png, info);
  png_write_image(png, pointers.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

Bytes MakePng(const PngOptions& o) {
  Bytes out;
  if (!EncodePng(o, &out)) Fail("libpng could not write a seed");
  return out;
}

// Rewrites IHDR's width and height and fixes its CRC, so that only the
// claimed size is wrong.
Bytes WithPngSize(Bytes png, std::uint32_t width, std::uint32_t height) {
  const std::size_t ihdr = 8 + 8;  // signature, then length and type of the first chunk
  for (int i = 0; i < 4; ++i) {
    png[ihdr + i] = static_cast<std::uint8_t>(width >> (24 - 8 * i));
    png[ihdr + 4 + i] = static_cast<std::uint8_t>(height >> (24 - 8 * i));
  }
  const uLong crc = crc32(0, png.data() + 12, 4 + 13);
  for (int i = 0; i < 4; ++i) png[ihdr + 13 + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
  return png;
}

// ---- JPEG --------------------------------------------------------------

Bytes MakeJpeg(std::uint32_t width, std::uint32_t height, int subsampling, int flags) {
  Bytes pixels(std::size_t(width) * height * 3);
  for (std::uint32_t y = 0; y < height; ++y)
    for (std::uint32_t x = 0; x < width; ++x)
      for (int c = 0; c < 3; ++c) pixels[(std::size_t(y) * width + x) * 3 + c] = Pattern(x, y, c);
  tjhandle handle = tjInitCompress();
  if (!handle) Fail("tjInitCompress failed");
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  const int pixelFormat = subsampling == TJSAMP_GRAY ? TJPF_RGB : TJPF_BGR;
  if (tjCompress2(handle, pixels.data(), static_cast<int>(width), 0, static_cast<int>(height),
                  pixelFormat, &jpeg, &size, subsampling, 90, flags) != 0)
    Fail(std::string("tjCompress2 failed: ") + tjGetErrorStr2(handle));
  Bytes out(jpeg, jpeg + size);
  tjFree(jpeg);
  tjDestroy(handle);
  return out;
}

// Rewrites the frame header's height and width (SOF0..SOF2).
Bytes WithJpegSize(Bytes jpeg, std::uint16_t width, std::uint16_t height) {
  for (std::size_t i = 2; i + 9 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && jpeg[i + 1] >= 0xC0 && jpeg[i + 1] <= 0xC2) {
      jpeg[i + 5] = static_cast<std::uint8_t>(height >> 8);
      jpeg[i + 6] = static_cast<std::uint8_t>(height);
      jpeg[i + 7] = static_cast<std::uint8_t>(width >> 8);
      jpeg[i + 8] = static_cast<std::uint8_t>(width);
      return jpeg;
    }
  }
  Fail("no frame header in a JPEG seed");
}

// ---- BMP ---------------------------------------------------------------

void PutU16(Bytes* out, std::uint32_t v) {
  out->push_back(static_cast<std::uint8_t>(v));
  out->push_back(static_cast<std::uint8_t>(v >> 8));
}

void PutU32(Bytes* out, std::uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) out->push_back(static_cast<std::uint8_t>(v >> shift));
}

// headerSize 40 (BITMAPINFOHEADER) or 124 (BITMAPV5HEADER, with masks and an
// alpha mask when bitfields is set).
Bytes MakeBmp(std::int32_t width, std::int32_t height, int bitsPerPixel, std::uint32_t headerSize,
              bool bitfields) {
  const std::uint32_t rows = static_cast<std::uint32_t>(height < 0 ? -height : height);
  const std::uint32_t stride = (static_cast<std::uint32_t>(width) * bitsPerPixel + 31) / 32 * 4;
  const std::uint32_t masksAfter = (bitfields && headerSize == 40) ? 12 : 0;
  const std::uint32_t dataOffset = 14 + headerSize + masksAfter;
  Bytes out;
  out.push_back('B');
  out.push_back('M');
  PutU32(&out, dataOffset + stride * rows);
  PutU32(&out, 0);
  PutU32(&out, dataOffset);
  PutU32(&out, headerSize);
  PutU32(&out, static_cast<std::uint32_t>(width));
  PutU32(&out, static_cast<std::uint32_t>(height));
  PutU16(&out, 1);
  PutU16(&out, static_cast<std::uint32_t>(bitsPerPixel));
  PutU32(&out, bitfields ? 3 : 0);
  PutU32(&out, stride * rows);
  PutU32(&out, 2835);
  PutU32(&out, 2835);
  PutU32(&out, 0);
  PutU32(&out, 0);
  if (bitfields || headerSize > 40) {
    PutU32(&out, bitfields ? 0x00FF0000u : 0);
    PutU32(&out, bitfields ? 0x0000FF00u : 0);
    PutU32(&out, bitfields ? 0x000000FFu : 0);
  }
  if (headerSize > 40) {
    PutU32(&out, bitfields ? 0xFF000000u : 0);  // alpha mask
    PutU32(&out, 0x73524742u);                  // 'sRGB'
    while (out.size() < 14 + headerSize) out.push_back(0);
  }
  for (std::uint32_t y = 0; y < rows; ++y) {
    std::uint32_t written = 0;
    for (std::int32_t x = 0; x < width; ++x)
      for (int c = 0; c < bitsPerPixel / 8; ++c, ++written) out.push_back(Pattern(x, y, c));
    for (; written < stride; ++written) out.push_back(0);
  }
  return out;
}

// Rewrites the info header's width and height, leaving the pixel data as it was.
Bytes WithBmpSize(Bytes bmp, std::int32_t width, std::int32_t height) {
  for (int i = 0; i < 4; ++i) {
    bmp[18 + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(width) >> (8 * i));
    bmp[22 + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(height) >> (8 * i));
  }
  return bmp;
}

Bytes Truncated(const Bytes& bytes, std::size_t keep) {
  return Bytes(bytes.begin(), bytes.begin() + keep);
}

void Write(const std::string& dir, const std::string& name, const Bytes& bytes) {
  const std::string path = dir + "/" + name;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) Fail("cannot create " + path);
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (std::fclose(file) != 0 || !ok) Fail("cannot write " + path);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];

  const Bytes rgb = MakePng({7, 5, 8, PNG_COLOR_TYPE_RGB});
  Write(dir, "png_rgb8.png", rgb);
  Write(dir, "png_rgba8_pow2.png", MakePng({8, 4, 8, PNG_COLOR_TYPE_RGB_ALPHA}));
  Write(dir, "png_palette_trns.png", MakePng({6, 3, 8, PNG_COLOR_TYPE_PALETTE, false, true}));
  Write(dir, "png_palette_2bit.png", MakePng({5, 5, 2, PNG_COLOR_TYPE_PALETTE}));
  Write(dir, "png_grey1.png", MakePng({9, 3, 1, PNG_COLOR_TYPE_GRAY}));
  Write(dir, "png_grey8.png", MakePng({4, 4, 8, PNG_COLOR_TYPE_GRAY}));
  Write(dir, "png_grey_alpha16.png", MakePng({3, 2, 16, PNG_COLOR_TYPE_GRAY_ALPHA}));
  Write(dir, "png_rgb16_trns.png", MakePng({4, 3, 16, PNG_COLOR_TYPE_RGB, false, true}));
  Write(dir, "png_rgba_interlaced.png", MakePng({11, 9, 8, PNG_COLOR_TYPE_RGB_ALPHA, true}));
  Write(dir, "png_truncated.png", Truncated(rgb, rgb.size() / 2));
  Write(dir, "png_60000x60000.png", WithPngSize(rgb, 60000, 60000));

  const Bytes baseline = MakeJpeg(16, 16, TJSAMP_444, 0);
  Write(dir, "jpeg_baseline_444.jpg", baseline);
  Write(dir, "jpeg_420_odd.jpg", MakeJpeg(19, 13, TJSAMP_420, 0));
  Write(dir, "jpeg_422.jpg", MakeJpeg(16, 8, TJSAMP_422, 0));
  Write(dir, "jpeg_progressive_420.jpg", MakeJpeg(24, 16, TJSAMP_420, TJFLAG_PROGRESSIVE));
  Write(dir, "jpeg_grey.jpg", MakeJpeg(8, 8, TJSAMP_GRAY, 0));
  Write(dir, "jpeg_truncated.jpg", Truncated(baseline, baseline.size() * 2 / 3));
  Write(dir, "jpeg_60000x60000.jpg", WithJpegSize(baseline, 60000, 60000));

  const Bytes bottomUp = MakeBmp(5, 3, 24, 40, false);
  Write(dir, "bmp_24_bottom_up.bmp", bottomUp);
  Write(dir, "bmp_32_top_down.bmp", MakeBmp(4, -4, 32, 40, false));
  Write(dir, "bmp_32_bitfields.bmp", MakeBmp(3, 2, 32, 40, true));
  Write(dir, "bmp_32_v5_alpha.bmp", MakeBmp(2, -2, 32, 124, true));
  Write(dir, "bmp_truncated.bmp", Truncated(bottomUp, bottomUp.size() - 7));
  Write(dir, "bmp_60000x60000.bmp", WithBmpSize(bottomUp, 60000, 60000));
  Write(dir, "bmp_60000x60000_top_down.bmp", WithBmpSize(bottomUp, 60000, -60000));
  return 0;
}
