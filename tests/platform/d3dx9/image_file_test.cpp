// Tests for the image decoders: every supported PNG/JPEG/BMP flavour gives the
// right size, alpha flag and pixels, and every kind of bad input fails with a
// specific error, without crashing and without a large allocation.
#include "image_file.h"

#include "mocks/allocation_counter.h"
#include "test_images.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <random>

namespace {

using platform::DecodeImageFile;
using platform::DecodeImageFromMemory;
using platform::Image;
using platform::ImageError;
using platform::ImageErrorName;
using platform::ImageFileInfo;
using platform::ImageFormat;
using platform::ReadImageFileInfo;
using namespace test_images;

constexpr std::uint32_t kMax = 4096;

// Decodes from memory and reports the error code on failure.
::testing::AssertionResult Decodes(const Bytes& bytes, Image* image) {
  ImageError error = ImageError::None;
  if (DecodeImageFromMemory(bytes.data(), bytes.size(), kMax, image, &error))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "decode failed with " << ImageErrorName(error);
}

ImageError DecodeError(const Bytes& bytes, std::uint32_t maxDimension = kMax) {
  Image image;
  ImageError error = ImageError::None;
  if (DecodeImageFromMemory(bytes.data(), bytes.size(), maxDimension, &image, &error))
    return ImageError::None;
  EXPECT_TRUE(image.pixels.empty()) << "a failed decode must leave no pixels";
  EXPECT_EQ(0u, image.info.width);
  return error;
}

#define EXPECT_IMAGE_ERROR(expected, actual) \
  EXPECT_STREQ(ImageErrorName(expected), ImageErrorName(actual))

void ExpectPixels(const std::vector<std::uint32_t>& expected, const Image& image) {
  ASSERT_EQ(expected.size() * 4, image.pixels.size());
  for (std::uint32_t y = 0; y < image.info.height; ++y)
    for (std::uint32_t x = 0; x < image.info.width; ++x)
      EXPECT_EQ(Hex(expected[y * image.info.width + x]),
                Hex(PixelAt(image.pixels, image.info.width, x, y)))
          << "pixel (" << x << "," << y << ")";
}

const std::vector<std::uint32_t> kColours3x2 = {
    Argb(0xFF, 0xFF, 0x00, 0x00), Argb(0xFF, 0x00, 0xFF, 0x00), Argb(0xFF, 0x00, 0x00, 0xFF),
    Argb(0xFF, 0x10, 0x20, 0x30), Argb(0xFF, 0xFF, 0xFF, 0xFF), Argb(0xFF, 0x00, 0x00, 0x00),
};

// ---- PNG -----------------------------------------------------------------

TEST(ImageDecodePng, RgbWithoutAlphaGivesExactOpaquePixels) {
  Image image;
  ASSERT_TRUE(Decodes(MakePngFromArgb(3, 2, kColours3x2, false), &image));
  EXPECT_EQ(ImageFormat::Png, image.info.format);
  EXPECT_EQ(3u, image.info.width);
  EXPECT_EQ(2u, image.info.height);
  EXPECT_FALSE(image.info.hasAlpha);
  ExpectPixels(kColours3x2, image);
}

TEST(ImageDecodePng, RgbaKeepsAlphaPerPixel) {
  const std::vector<std::uint32_t> pixels = {
      Argb(0x00, 0x11, 0x22, 0x33), Argb(0x80, 0x44, 0x55, 0x66), Argb(0xFF, 0x77, 0x88, 0x99),
      Argb(0x01, 0xAA, 0xBB, 0xCC)};
  Image image;
  ASSERT_TRUE(Decodes(MakePngFromArgb(2, 2, pixels, true), &image));
  EXPECT_TRUE(image.info.hasAlpha);
  ExpectPixels(pixels, image);
}

TEST(ImageDecodePng, PaletteExpandsAndTrnsCountsAsAlpha) {
  const Bytes palette = {0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF};
  const Bytes indices = {0x40};  // 2-bit indices 1,0,0,0 (only the first two pixels used)
  Image image;
  ASSERT_TRUE(Decodes(MakePng(2, 1, 2, 3, indices, palette), &image));
  EXPECT_FALSE(image.info.hasAlpha);
  ExpectPixels({Argb(0xFF, 0x00, 0x00, 0xFF), Argb(0xFF, 0xFF, 0x00, 0x00)}, image);

  ASSERT_TRUE(Decodes(MakePng(2, 1, 2, 3, indices, palette, {0x00}), &image));
  EXPECT_TRUE(image.info.hasAlpha);
  ExpectPixels({Argb(0xFF, 0x00, 0x00, 0xFF), Argb(0x00, 0xFF, 0x00, 0x00)}, image);
}

TEST(ImageDecodePng, GreyAndSixteenBitScaleToEightBitRgb) {
  Image image;
  // 16-bit grey: 0xFFFF -> 255, 0x8080 -> 128, 0 -> 0 (values as stored, no gamma).
  ASSERT_TRUE(Decodes(MakePng(3, 1, 16, 0, {0xFF, 0xFF, 0x80, 0x80, 0x00, 0x00}), &image));
  EXPECT_FALSE(image.info.hasAlpha);
  ExpectPixels({Argb(0xFF, 0xFF, 0xFF, 0xFF), Argb(0xFF, 0x80, 0x80, 0x80), Argb(0xFF, 0, 0, 0)},
               image);

  // 8-bit grey with alpha.
  ASSERT_TRUE(Decodes(MakePng(1, 1, 8, 4, {0x40, 0x90}), &image));
  EXPECT_TRUE(image.info.hasAlpha);
  ExpectPixels({Argb(0x90, 0x40, 0x40, 0x40)}, image);

  // 1-bit grey: 1 -> white, 0 -> black.
  ASSERT_TRUE(Decodes(MakePng(2, 1, 1, 0, {0x80}), &image));
  ExpectPixels({Argb(0xFF, 0xFF, 0xFF, 0xFF), Argb(0xFF, 0, 0, 0)}, image);

  // 16-bit RGBA.
  ASSERT_TRUE(
      Decodes(MakePng(1, 1, 16, 6, {0x12, 0x00, 0x34, 0x00, 0x56, 0x00, 0x80, 0x80}), &image));
  EXPECT_TRUE(image.info.hasAlpha);
  ExpectPixels({Argb(0x80, 0x12, 0x34, 0x56)}, image);
}

// ---- JPEG ----------------------------------------------------------------

TEST(ImageDecodeJpeg, DecodesSizeAndApproximateColoursWithoutAlpha) {
  // Four 8x8 quadrants of flat colour survive JPEG almost unchanged.
  const std::uint32_t quadrant[4] = {Argb(0xFF, 0xE0, 0x20, 0x20), Argb(0xFF, 0x20, 0xE0, 0x20),
                                     Argb(0xFF, 0x20, 0x20, 0xE0), Argb(0xFF, 0x80, 0x80, 0x80)};
  std::vector<std::uint32_t> pixels(16 * 16);
  for (std::uint32_t y = 0; y < 16; ++y)
    for (std::uint32_t x = 0; x < 16; ++x) pixels[y * 16 + x] = quadrant[(y / 8) * 2 + x / 8];

  Image image;
  ASSERT_TRUE(Decodes(MakeJpeg(16, 16, pixels), &image));
  EXPECT_EQ(ImageFormat::Jpeg, image.info.format);
  EXPECT_EQ(16u, image.info.width);
  EXPECT_EQ(16u, image.info.height);
  EXPECT_FALSE(image.info.hasAlpha);
  for (std::uint32_t q = 0; q < 4; ++q) {
    const std::uint32_t x = (q % 2) * 8 + 4, y = (q / 2) * 8 + 4;
    const std::uint32_t got = PixelAt(image.pixels, 16, x, y);
    EXPECT_EQ(0xFFu, got >> 24) << "alpha of quadrant " << q;
    for (int shift = 0; shift < 24; shift += 8) {
      const int want = (quadrant[q] >> shift) & 0xFF, have = (got >> shift) & 0xFF;
      EXPECT_NEAR(want, have, 6) << "quadrant " << q << " channel shift " << shift;
    }
  }
}

// ---- BMP -----------------------------------------------------------------

TEST(ImageDecodeBmp, BottomUp24BitWithRowPaddingComesOutTopRowFirst) {
  Image image;
  ASSERT_TRUE(Decodes(MakeBmp(3, 2, 24, false, kColours3x2), &image));  // 9-byte rows padded to 12
  EXPECT_EQ(ImageFormat::Bmp, image.info.format);
  EXPECT_EQ(3u, image.info.width);
  EXPECT_EQ(2u, image.info.height);
  EXPECT_FALSE(image.info.hasAlpha);
  ExpectPixels(kColours3x2, image);
}

TEST(ImageDecodeBmp, TopDown32BitTreatsFourthByteAsPadding) {
  std::vector<std::uint32_t> pixels = kColours3x2;
  for (std::uint32_t& p : pixels) p = (p & 0x00FFFFFFu) | 0x12000000u;  // junk in the fourth byte
  Image image;
  ASSERT_TRUE(Decodes(MakeBmp(3, 2, 32, true, pixels), &image));
  EXPECT_FALSE(image.info.hasAlpha);
  ExpectPixels(kColours3x2, image);
}

TEST(ImageDecodeBmp, UnsupportedVariantsAreRefusedCleanly) {
  Bytes eightBit = MakeBmp(2, 2, 24, false, Solid(2, 2, 0xFF000000));
  eightBit[28] = 8;  // biBitCount
  EXPECT_IMAGE_ERROR(ImageError::Unsupported, DecodeError(eightBit));

  Bytes rle = MakeBmp(2, 2, 24, false, Solid(2, 2, 0xFF000000));
  rle[30] = 1;  // BI_RLE8
  EXPECT_IMAGE_ERROR(ImageError::Unsupported, DecodeError(rle));

  Bytes os2 = MakeBmp(2, 2, 24, false, Solid(2, 2, 0xFF000000));
  os2[14] = 12;  // BITMAPCOREHEADER
  EXPECT_IMAGE_ERROR(ImageError::Unsupported, DecodeError(os2));

  Bytes zeroWidth = MakeBmp(2, 2, 24, false, Solid(2, 2, 0xFF000000));
  zeroWidth[18] = 0;
  EXPECT_IMAGE_ERROR(ImageError::Corrupt, DecodeError(zeroWidth));
}

// ---- Bad input -----------------------------------------------------------

TEST(ImageDecodeBadInput, FileSystemProblemsHaveTheirOwnErrors) {
  TempDir dir;
  Image image;
  ImageError error = ImageError::None;
  EXPECT_FALSE(DecodeImageFile(dir.Path() + "/missing.png", kMax, &image, &error));
  EXPECT_IMAGE_ERROR(ImageError::FileNotFound, error);
  EXPECT_FALSE(DecodeImageFile(dir.Path() + "/missing/deeper.png", kMax, &image, &error));
  EXPECT_IMAGE_ERROR(ImageError::FileNotFound, error);
  EXPECT_FALSE(DecodeImageFile("", kMax, &image, &error));
  EXPECT_IMAGE_ERROR(ImageError::FileNotFound, error);

  EXPECT_FALSE(DecodeImageFile(dir.Path(), kMax, &image, &error));
  EXPECT_IMAGE_ERROR(ImageError::NotAFile, error);

  const std::string empty = dir.Write("empty.png", {});
  EXPECT_FALSE(DecodeImageFile(empty, kMax, &image, &error));
  EXPECT_IMAGE_ERROR(ImageError::EmptyFile, error);

  // A FIFO with no writer must not block the reader.
  const std::string fifo = dir.Path() + "/fifo.png";
  ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
  EXPECT_FALSE(DecodeImageFile(fifo, kMax, &image, &error));
  EXPECT_IMAGE_ERROR(ImageError::NotAFile, error);

  // Oversized files are refused from their size alone (sparse file: no disk use).
  const std::string huge = dir.Write("huge.png", MakePngFromArgb(1, 1, {0xFF000000}, false));
  ASSERT_EQ(0, truncate(huge.c_str(), static_cast<off_t>(platform::kMaxImageFileBytes) + 1));
  allocation_counter::Start();
  EXPECT_FALSE(DecodeImageFile(huge, kMax, &image, &error));
  EXPECT_IMAGE_ERROR(ImageError::FileTooLarge, error);
  EXPECT_LT(allocation_counter::Largest(), 1u << 20);
}

TEST(ImageDecodeBadInput, RandomBytesAreNotAnImage) {
  std::mt19937 rng(1234);
  Bytes noise(4096);
  for (auto& b : noise) b = static_cast<std::uint8_t>(rng());
  noise[0] = 'x';  // make sure no magic matches by chance
  EXPECT_IMAGE_ERROR(ImageError::UnknownFormat, DecodeError(noise));
  EXPECT_IMAGE_ERROR(ImageError::UnknownFormat, DecodeError(Bytes{'G', 'I', 'F', '8', '9', 'a'}));
}

TEST(ImageDecodeBadInput, TruncatedFilesFailAtEveryCutPoint) {
  struct Case {
    const char* name;
    Bytes whole;
    std::size_t optionalTail;  // bytes after the last pixel data, which may be missing
  };
  const std::vector<Case> files = {
      {"png", MakePngFromArgb(3, 2, kColours3x2, true), 12},     // IEND chunk
      {"jpeg", MakeJpeg(16, 16, Solid(16, 16, 0xFF336699)), 0},  // even the EOI marker counts
      {"bmp", MakeBmp(3, 2, 24, false, kColours3x2), 3},         // last row's padding
  };
  for (const auto& [name, whole, optionalTail] : files) {
    for (std::size_t cut = 1; cut < whole.size() - optionalTail; ++cut) {
      const Bytes part(whole.begin(), whole.begin() + cut);
      const ImageError error = DecodeError(part);
      EXPECT_NE(ImageError::None, error)
          << name << " cut to " << cut << " of " << whole.size() << " bytes";
    }
  }
}

TEST(ImageDecodeBadInput, CorruptDataIsRejected) {
  Bytes png = MakePngFromArgb(3, 2, kColours3x2, false);
  png[png.size() - 20] ^= 0x5A;  // inside IDAT: breaks the chunk CRC
  EXPECT_IMAGE_ERROR(ImageError::Corrupt, DecodeError(png));

  Bytes jpeg = MakeJpeg(16, 16, Solid(16, 16, 0xFF336699));
  for (std::size_t i = 20; i < jpeg.size() - 2; ++i) jpeg[i] = 0xFF;  // markers everywhere
  EXPECT_NE(ImageError::None, DecodeError(jpeg));

  Bytes header = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  EXPECT_IMAGE_ERROR(ImageError::Corrupt, DecodeError(header));
  EXPECT_IMAGE_ERROR(ImageError::Corrupt, DecodeError(Bytes{0xFF, 0xD8, 0xFF}));
  EXPECT_IMAGE_ERROR(ImageError::Corrupt, DecodeError(Bytes{'B', 'M'}));
}

TEST(ImageDecodeBadInput, RandomlyDamagedFilesDecodeConsistentlyOrFail) {
  // Flipped bytes anywhere in otherwise valid files: each decode either fails
  // with an error code or yields a buffer matching its reported size. Run
  // under ASan/UBSan this also checks for out-of-bounds reads.
  const std::vector<std::pair<const char*, Bytes>> files = {
      {"png", MakePngFromArgb(9, 7, Solid(9, 7, 0x80406080), true)},
      {"jpeg", MakeJpeg(16, 16, Solid(16, 16, 0xFF336699))},
      {"bmp", MakeBmp(5, 3, 32, false, Solid(5, 3, 0xFF102030))},
  };
  std::mt19937 rng(20240601);
  for (const auto& [name, whole] : files) {
    for (int round = 0; round < 300; ++round) {
      Bytes damaged = whole;
      const int flips = 1 + static_cast<int>(rng() % 4);
      for (int i = 0; i < flips; ++i)
        damaged[rng() % damaged.size()] ^= static_cast<std::uint8_t>(1 + rng() % 255);
      Image image;
      ImageError error = ImageError::None;
      if (DecodeImageFromMemory(damaged.data(), damaged.size(), kMax, &image, &error)) {
        ASSERT_EQ(std::size_t(image.info.width) * image.info.height * 4, image.pixels.size())
            << name << " round " << round;
      } else {
        ASSERT_NE(ImageError::None, error) << name << " round " << round;
      }
    }
  }
}

TEST(ImageDecodeBadInput, HugeClaimedDimensionsFailBeforeAnyLargeAllocation) {
  const std::vector<std::pair<const char*, Bytes>> files = {
      {"png", MakePngHeaderOnly(60000, 60000)},
      {"bmp", MakeBmp(60000, 60000, 32, false, {})},
      {"bmp top-down", MakeBmp(60000, 60000, 24, true, {})},
  };
  for (const auto& [name, bytes] : files) {
    ImageFileInfo info;
    ImageError error = ImageError::None;
    ASSERT_TRUE(platform::ReadImageInfoFromMemory(bytes.data(), bytes.size(), &info, &error))
        << name;
    EXPECT_EQ(60000u, info.width) << name;
    EXPECT_EQ(60000u, info.height) << name;

    allocation_counter::Start();
    EXPECT_IMAGE_ERROR(ImageError::DimensionsTooLarge, DecodeError(bytes)) << name;
    EXPECT_LT(allocation_counter::Largest(), 1u << 20) << name;
  }
  // Within maxDimension per side but over the total pixel ceiling.
  EXPECT_IMAGE_ERROR(ImageError::DimensionsTooLarge,
                     DecodeError(MakePngHeaderOnly(60000, 60000), 60000));
  // The limit applies to each side on its own.
  EXPECT_IMAGE_ERROR(ImageError::DimensionsTooLarge,
                     DecodeError(MakePngFromArgb(5, 1, Solid(5, 1, 0xFF000000), false), 4));
}

// ---- Paths and content sniffing ----------------------------------------

class CurrentDirectory {
 public:
  explicit CurrentDirectory(const std::string& path) {
    char* old = getcwd(nullptr, 0);
    m_old = old ? old : "/";
    std::free(old);
    if (chdir(path.c_str()) != 0) ADD_FAILURE() << "chdir " << path;
  }
  ~CurrentDirectory() {
    if (chdir(m_old.c_str()) != 0) ADD_FAILURE() << "chdir back to " << m_old;
  }

 private:
  std::string m_old;
};

TEST(ImageFilePath, BackslashesAreDirectorySeparatorsRelativeToCurrentDirectory) {
  TempDir dir;
  dir.Write("textures/sky/face.png", MakePngFromArgb(3, 2, kColours3x2, false));
  Image image;
  ImageError error = ImageError::None;
  ASSERT_TRUE(DecodeImageFile(dir.Path() + "\\textures\\sky\\face.png", kMax, &image, &error))
      << ImageErrorName(error);
  ExpectPixels(kColours3x2, image);

  CurrentDirectory cd(dir.Path());
  ImageFileInfo info;
  ASSERT_TRUE(ReadImageFileInfo("textures\\sky\\face.png", &info, &error)) << ImageErrorName(error);
  EXPECT_EQ(3u, info.width);
  ASSERT_TRUE(DecodeImageFile(".\\textures/sky\\face.png", kMax, &image, &error))
      << ImageErrorName(error);
}

TEST(ImageFilePath, FormatComesFromContentNotExtension) {
  TempDir dir;
  const std::string pngNamedJpg = dir.Write("grass.jpg", MakePngFromArgb(3, 2, kColours3x2, false));
  const std::string bmpNamedPng = dir.Write("wall.png", MakeBmp(3, 2, 24, false, kColours3x2));
  const std::string jpegNamedBmp = dir.Write("sky.bmp", MakeJpeg(8, 8, Solid(8, 8, 0xFF808080)));
  ImageFileInfo info;
  ImageError error = ImageError::None;
  ASSERT_TRUE(ReadImageFileInfo(pngNamedJpg, &info, &error)) << ImageErrorName(error);
  EXPECT_EQ(ImageFormat::Png, info.format);
  ASSERT_TRUE(ReadImageFileInfo(bmpNamedPng, &info, &error)) << ImageErrorName(error);
  EXPECT_EQ(ImageFormat::Bmp, info.format);
  ASSERT_TRUE(ReadImageFileInfo(jpegNamedBmp, &info, &error)) << ImageErrorName(error);
  EXPECT_EQ(ImageFormat::Jpeg, info.format);

  Image image;
  ASSERT_TRUE(DecodeImageFile(pngNamedJpg, kMax, &image, &error)) << ImageErrorName(error);
  ExpectPixels(kColours3x2, image);
}

}  // namespace
