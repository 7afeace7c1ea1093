// Tests for the texture loader's pixel operations: resizing filters, mip
// reduction, colour keying.
#include "image_resample.h"

#include "test_images.h"

#include <gtest/gtest.h>

namespace {

using platform::PixelBuffer;
using platform::ResampleFilter;
using test_images::Argb;

PixelBuffer MakeBuffer(std::uint32_t width, std::uint32_t height,
                       const std::vector<std::uint32_t>& argb) {
  PixelBuffer buffer;
  buffer.width = width;
  buffer.height = height;
  for (std::uint32_t p : argb) {
    buffer.bgra.push_back(static_cast<std::uint8_t>(p));
    buffer.bgra.push_back(static_cast<std::uint8_t>(p >> 8));
    buffer.bgra.push_back(static_cast<std::uint8_t>(p >> 16));
    buffer.bgra.push_back(static_cast<std::uint8_t>(p >> 24));
  }
  return buffer;
}

std::uint32_t At(const PixelBuffer& b, std::uint32_t x, std::uint32_t y) {
  return test_images::PixelAt(b.bgra, b.width, x, y);
}

TEST(ImageResample, EveryFilterKeepsAFlatColourFlat) {
  const std::uint32_t colour = Argb(0x80, 0x12, 0x34, 0x56);
  const PixelBuffer src = MakeBuffer(5, 3, test_images::Solid(5, 3, colour));
  for (ResampleFilter filter : {ResampleFilter::Point, ResampleFilter::Tent}) {
    for (auto [w, h] :
         {std::pair{16u, 8u}, std::pair{2u, 1u}, std::pair{1u, 1u}, std::pair{7u, 2u}}) {
      const PixelBuffer out = platform::Resample(src, w, h, filter);
      ASSERT_EQ(w, out.width);
      ASSERT_EQ(h, out.height);
      ASSERT_EQ(std::size_t(w) * h * 4, out.bgra.size());
      for (std::uint32_t y = 0; y < h; ++y)
        for (std::uint32_t x = 0; x < w; ++x)
          EXPECT_EQ(colour, At(out, x, y)) << std::hex << "at " << std::dec << x << "," << y;
    }
  }
}

TEST(ImageResample, TentShrinkAveragesAndEnlargeInterpolates) {
  // 2x1 black/white shrunk to 1x1 gives mid grey.
  const PixelBuffer pair = MakeBuffer(2, 1, {Argb(0xFF, 0, 0, 0), Argb(0xFF, 0xFF, 0xFF, 0xFF)});
  const PixelBuffer one = platform::Resample(pair, 1, 1, ResampleFilter::Tent);
  EXPECT_EQ(Argb(0xFF, 0x80, 0x80, 0x80), At(one, 0, 0));

  // Enlarged 2x1 -> 4x1: ends keep their colour, the inside blends monotonically.
  const PixelBuffer wide = platform::Resample(pair, 4, 1, ResampleFilter::Tent);
  EXPECT_EQ(Argb(0xFF, 0, 0, 0), At(wide, 0, 0));
  EXPECT_EQ(Argb(0xFF, 0xFF, 0xFF, 0xFF), At(wide, 3, 0));
  const std::uint32_t g1 = At(wide, 1, 0) & 0xFF, g2 = At(wide, 2, 0) & 0xFF;
  EXPECT_GT(g1, 0u);
  EXPECT_LT(g1, g2);
  EXPECT_LT(g2, 0xFFu);
}

TEST(ImageResample, NoneCopiesIntoTheCornerAndPointPicksPixels) {
  const std::vector<std::uint32_t> px = {Argb(0xFF, 1, 1, 1), Argb(0xFF, 2, 2, 2),
                                         Argb(0xFF, 3, 3, 3), Argb(0xFF, 4, 4, 4)};
  const PixelBuffer src = MakeBuffer(2, 2, px);
  const PixelBuffer padded = platform::Resample(src, 3, 3, ResampleFilter::None);
  EXPECT_EQ(px[0], At(padded, 0, 0));
  EXPECT_EQ(px[3], At(padded, 1, 1));
  EXPECT_EQ(0u, At(padded, 2, 0)) << "outside the source is transparent black";
  EXPECT_EQ(0u, At(padded, 0, 2));

  const PixelBuffer doubled = platform::Resample(src, 4, 4, ResampleFilter::Point);
  EXPECT_EQ(px[0], At(doubled, 1, 1));
  EXPECT_EQ(px[1], At(doubled, 2, 0));
  EXPECT_EQ(px[3], At(doubled, 3, 3));
}

TEST(ImageResample, HalveForMipBoxFiltersAndHandlesThinImages) {
  const PixelBuffer src = MakeBuffer(2, 2,
                                     {Argb(0, 0, 0, 0), Argb(0xFF, 0xFF, 0xFF, 0xFF),
                                      Argb(0xFF, 0xFF, 0xFF, 0xFF), Argb(0, 0, 0, 0)});
  const PixelBuffer box = platform::HalveForMip(src, false);
  ASSERT_EQ(1u, box.width);
  ASSERT_EQ(1u, box.height);
  EXPECT_EQ(Argb(0x80, 0x80, 0x80, 0x80), At(box, 0, 0));
  EXPECT_EQ(Argb(0, 0, 0, 0), At(platform::HalveForMip(src, true), 0, 0));

  // 4x1 -> 2x1 -> 1x1: the 1-pixel side stays 1.
  PixelBuffer strip = MakeBuffer(4, 1,
                                 {Argb(0xFF, 0, 0, 0), Argb(0xFF, 0x40, 0, 0),
                                  Argb(0xFF, 0x80, 0, 0), Argb(0xFF, 0xC0, 0, 0)});
  strip = platform::HalveForMip(strip, false);
  ASSERT_EQ(2u, strip.width);
  ASSERT_EQ(1u, strip.height);
  EXPECT_EQ(Argb(0xFF, 0x20, 0, 0), At(strip, 0, 0));
  EXPECT_EQ(Argb(0xFF, 0xA0, 0, 0), At(strip, 1, 0));
}

TEST(ImageResample, ColorKeyMatchesAllFourChannels) {
  PixelBuffer img =
      MakeBuffer(3, 1, {Argb(0xFF, 0xFF, 0, 0xFF), Argb(0x80, 0xFF, 0, 0xFF), Argb(0xFF, 1, 2, 3)});
  platform::ApplyColorKey(&img, 0xFFFF00FF);
  EXPECT_EQ(0u, At(img, 0, 0));
  EXPECT_EQ(Argb(0x80, 0xFF, 0, 0xFF), At(img, 1, 0)) << "different alpha is not the key";
  EXPECT_EQ(Argb(0xFF, 1, 2, 3), At(img, 2, 0));
}

}  // namespace
