// Regression tests for inputs found by the image fuzzer (tests/fuzz/).
//
// PNG ancillary chunks claiming a huge length: libpng only warns that such a
// chunk is over its memory limit and then allocates a buffer of the claimed
// size (up to 2 GiB) for text, sPLT, eXIf and similar chunks before noticing
// that the file ends. The decoder skips those chunks unread; these tests check
// that a tiny file claiming a huge chunk fails as Corrupt without a large
// allocation, and that skipping the chunks leaves the pixels of valid files
// unchanged.
//
// The allocation check sees libpng's malloc calls through AddressSanitizer's
// allocation hooks, so it runs in the sanitizer build and is skipped elsewhere.
#include "image_file.h"

#include "test_images.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <string>

#if defined(__SANITIZE_ADDRESS__)
#define EF_HAVE_ASAN_HOOKS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define EF_HAVE_ASAN_HOOKS 1
#endif
#endif

#if EF_HAVE_ASAN_HOOKS
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*mallocHook)(const volatile void*,
                                                                            std::size_t),
                                                         void (*freeHook)(const volatile void*));
#endif

namespace {

using platform::DecodeImageFromMemory;
using platform::Image;
using platform::ImageError;
using platform::ImageErrorName;
using platform::ImageFileInfo;
using platform::ReadImageInfoFromMemory;
using namespace test_images;

// Largest malloc (any caller, including libpng) since the last reset.
std::atomic<std::size_t> g_largestMalloc{0};

#if EF_HAVE_ASAN_HOOKS
void RecordMalloc(const volatile void*, std::size_t size) {
  std::size_t seen = g_largestMalloc.load(std::memory_order_relaxed);
  while (size > seen &&
         !g_largestMalloc.compare_exchange_weak(seen, size, std::memory_order_relaxed)) {}
}
void IgnoreFree(const volatile void*) {}

bool InstallMallocProbe() {
  static const bool installed =
      __sanitizer_install_malloc_and_free_hooks(RecordMalloc, IgnoreFree) != 0;
  return installed;
}
#else
bool InstallMallocProbe() { return false; }
#endif

void PutU32BE(Bytes* out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out->push_back(static_cast<std::uint8_t>(v >> shift));
}

// A chunk with a correct CRC; `claimedLength` overrides the length field.
// Sized up front: growing it by insert trips a false overflow warning of
// GCC 12 at -O3.
Bytes Chunk(const char* type, const Bytes& data, std::uint32_t claimedLength) {
  Bytes chunk(8 + data.size());
  for (int i = 0; i < 4; ++i) {
    chunk[i] = static_cast<std::uint8_t>(claimedLength >> (24 - 8 * i));
    chunk[4 + i] = static_cast<std::uint8_t>(type[i]);
  }
  std::copy(data.begin(), data.end(), chunk.begin() + 8);
  const uLong crc = crc32(0, chunk.data() + 4, static_cast<uInt>(4 + data.size()));
  PutU32BE(&chunk, static_cast<std::uint32_t>(crc));
  return chunk;
}

Bytes Chunk(const char* type, const Bytes& data) {
  return Chunk(type, data, static_cast<std::uint32_t>(data.size()));
}

// Inserts `chunk` right after IHDR (signature 8 bytes + IHDR 25 bytes).
Bytes WithChunkAfterIhdr(const Bytes& png, const Bytes& chunk) {
  constexpr std::size_t kAfterIhdr = 8 + 25;
  Bytes out(png.begin(), png.begin() + kAfterIhdr);
  out.insert(out.end(), chunk.begin(), chunk.end());
  out.insert(out.end(), png.begin() + kAfterIhdr, png.end());
  return out;
}

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes Compressed(const Bytes& raw) {
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  Bytes out(size);
  EXPECT_EQ(Z_OK, compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 9));
  out.resize(size);
  return out;
}

// Ancillary chunk types libpng reads into a buffer of the claimed length, and
// one it does not know at all.
const char* const kAncillaryTypes[] = {"tEXt", "zTXt", "iTXt", "sPLT",
                                       "eXIf", "pCAL", "iCCP", "abCd"};

TEST(PngFuzzRegression, HugeAncillaryChunkFailsWithoutLargeAllocation) {
  if (!InstallMallocProbe())
    GTEST_SKIP() << "needs AddressSanitizer's allocation hooks (EF_SANITIZE build)";
  const Bytes valid = MakePngFromArgb(3, 2, Solid(3, 2, Argb(0xFF, 0x10, 0x20, 0x30)), false);
  constexpr std::size_t kLimit = 16u << 20;

  for (const char* type : kAncillaryTypes) {
    for (std::uint32_t claimed : {0x7FFFFFFFu, 0x3A00001Du}) {
      // The claimed length swallows the rest of the file: it is truncated.
      const Bytes png = WithChunkAfterIhdr(valid, Chunk(type, Text("key"), claimed));
      SCOPED_TRACE(std::string(type) + " claiming " + std::to_string(claimed) + " bytes");

      g_largestMalloc = 0;
      ImageFileInfo info;
      ImageError error = ImageError::None;
      EXPECT_FALSE(ReadImageInfoFromMemory(png.data(), png.size(), &info, &error));
      EXPECT_STREQ(ImageErrorName(ImageError::Corrupt), ImageErrorName(error));
      EXPECT_LT(g_largestMalloc.load(), kLimit)
          << "header read allocated " << g_largestMalloc.load();

      g_largestMalloc = 0;
      Image image;
      EXPECT_FALSE(DecodeImageFromMemory(png.data(), png.size(), 4096, &image, &error));
      EXPECT_STREQ(ImageErrorName(ImageError::Corrupt), ImageErrorName(error));
      EXPECT_LT(g_largestMalloc.load(), kLimit) << "decode allocated " << g_largestMalloc.load();
    }
  }
}

TEST(PngFuzzRegression, AncillaryChunksDoNotChangeThePixels) {
  std::vector<std::uint32_t> argb;
  for (std::uint32_t i = 0; i < 12; ++i)
    argb.push_back(Argb(static_cast<std::uint8_t>(40 + i * 16), 0x80, i * 20, 255 - i));
  const Bytes plain = MakePngFromArgb(4, 3, argb, true);
  Image expected;
  ImageError error = ImageError::None;
  ASSERT_TRUE(DecodeImageFromMemory(plain.data(), plain.size(), 4096, &expected, &error))
      << ImageErrorName(error);

  Bytes zTxt = Text(std::string("Comment\0", 8));
  zTxt.push_back(0);  // deflate
  const Bytes compressed = Compressed(Text("made by the fuzz regression test"));
  zTxt.insert(zTxt.end(), compressed.begin(), compressed.end());
  const Bytes chunks[] = {
      Chunk("gAMA", {0x00, 0x00, 0xB1, 0x8F}),  // 1/2.2
      Chunk("sRGB", {0x00}),
      Chunk("tEXt", Text(std::string("Title\0endless field", 19))),
      Chunk("zTXt", zTxt),
      Chunk("sBIT", {0x05, 0x06, 0x05, 0x01}),  // would rescale if applied
      Chunk("pHYs", {0, 0, 0x0B, 0x13, 0, 0, 0x0B, 0x13, 1}),
      Chunk("abCd", Text("private data")),
  };
  Bytes decorated = plain;
  for (const Bytes& chunk : chunks) decorated = WithChunkAfterIhdr(decorated, chunk);

  Image image;
  ASSERT_TRUE(DecodeImageFromMemory(decorated.data(), decorated.size(), 4096, &image, &error))
      << ImageErrorName(error);
  EXPECT_EQ(expected.info.width, image.info.width);
  EXPECT_EQ(expected.info.height, image.info.height);
  EXPECT_EQ(expected.info.hasAlpha, image.info.hasAlpha);
  ASSERT_EQ(expected.pixels.size(), image.pixels.size());
  for (std::uint32_t y = 0; y < 3; ++y)
    for (std::uint32_t x = 0; x < 4; ++x)
      EXPECT_EQ(Hex(PixelAt(expected.pixels, 4, x, y)), Hex(PixelAt(image.pixels, 4, x, y)))
          << "pixel (" << x << "," << y << ")";
}

}  // namespace
