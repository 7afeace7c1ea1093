// Icons: reading .ico bytes, and LoadIconA finding the executable's
// registered icon resources and nothing else.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <vector>

#include "win32/icon_file.h"
#include "win32/resources.h"
#include "win32/sdl_window.h"
#include "win32/win32_internal.h"

namespace {

void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// An .ico of square 32-bit images, one per size: every pixel blue (B = 0xFF)
// except the top row, which is red (R = 0xFF). Another bit count in the
// image headers makes a file we do not read.
std::vector<uint8_t> MakeIco(const std::vector<int>& sizes, uint32_t bitCount = 32) {
  std::vector<uint8_t> out, images;
  PutLe(out, 0, 2);
  PutLe(out, 1, 2);
  PutLe(out, static_cast<uint32_t>(sizes.size()), 2);
  const size_t first = 6 + 16 * sizes.size();
  for (int n : sizes) {
    std::vector<uint8_t> image;
    for (uint32_t v : {40u, uint32_t(n), uint32_t(2 * n)}) PutLe(image, v, 4);
    PutLe(image, 1, 2);
    PutLe(image, bitCount, 2);
    for (int i = 0; i < 6; ++i) PutLe(image, 0, 4);
    for (int y = n - 1; y >= 0; --y)  // bottom row first
      for (int x = 0; x < n; ++x) PutLe(image, y == 0 ? 0xFFFF0000u : 0xFF0000FFu, 4);
    image.resize(image.size() + static_cast<size_t>((n + 31) / 32 * 4 * n), 0);  // AND mask
    out.push_back(static_cast<uint8_t>(n & 0xFF));
    out.push_back(static_cast<uint8_t>(n & 0xFF));
    PutLe(out, 0, 2);
    PutLe(out, 1, 2);
    PutLe(out, 32, 2);
    PutLe(out, static_cast<uint32_t>(image.size()), 4);
    PutLe(out, static_cast<uint32_t>(first + images.size()), 4);
    images.insert(images.end(), image.begin(), image.end());
  }
  out.insert(out.end(), images.begin(), images.end());
  return out;
}

TEST(Win32IconFile, TakesTheImageNearestTheWantedSizeTopRowFirst) {
  const std::vector<uint8_t> ico = MakeIco({16, 48, 32});
  platform::IconImage image;
  ASSERT_TRUE(platform::IconImageFromIco(ico.data(), ico.size(), 32, &image));
  EXPECT_EQ(image.m_width, 32);
  EXPECT_EQ(image.m_height, 32);
  ASSERT_EQ(image.m_bgra.size(), 32u * 32u * 4u);
  EXPECT_EQ(image.m_bgra[2], 0xFF) << "top row red";
  EXPECT_EQ(image.m_bgra[0], 0x00);
  EXPECT_EQ(image.m_bgra[32 * 4 * 31], 0xFF) << "bottom row blue";
  EXPECT_EQ(image.m_bgra[32 * 4 * 31 + 3], 0xFF) << "alpha kept";
  ASSERT_TRUE(platform::IconImageFromIco(ico.data(), ico.size(), 40, &image));
  EXPECT_EQ(image.m_width, 48) << "a tie goes to the larger image";
  const std::vector<uint8_t> big = MakeIco({256});
  ASSERT_TRUE(platform::IconImageFromIco(big.data(), big.size(), 32, &image));
  EXPECT_EQ(image.m_width, 256) << "a width byte of 0 means 256";
}

TEST(Win32IconFile, RefusesWhatIsNotAnIcoOf32BitImages) {
  platform::IconImage image;
  std::vector<uint8_t> ico = MakeIco({16});
  EXPECT_FALSE(platform::IconImageFromIco(ico.data(), ico.size() - 100, 16, &image)) << "truncated";
  EXPECT_FALSE(platform::IconImageFromIco(ico.data(), 5, 16, &image)) << "shorter than a header";
  EXPECT_FALSE(platform::IconImageFromIco(nullptr, ico.size(), 16, &image));
  std::vector<uint8_t> cursor = ico;
  cursor[2] = 2;  // a .cur file
  EXPECT_FALSE(platform::IconImageFromIco(cursor.data(), cursor.size(), 16, &image)) << "cursor";
  std::vector<uint8_t> palette = MakeIco({16}, 8);
  EXPECT_FALSE(platform::IconImageFromIco(palette.data(), palette.size(), 16, &image)) << "8-bit";
  std::vector<uint8_t> offset = ico;
  offset[21] = 0x7F;  // the image's offset points far past the end
  EXPECT_FALSE(platform::IconImageFromIco(offset.data(), offset.size(), 16, &image)) << "offset";
}

TEST(Win32LoadIcon, FindsOnlyTheExecutablesRegisteredIcons) {
  static const std::vector<uint8_t> ico = MakeIco({16, 32});
  static const std::vector<uint8_t> broken(ico.begin(), ico.begin() + 40);
  platform::RegisterIconResource(107, ico.data(), ico.size());
  platform::RegisterIconResource(109, broken.data(), broken.size());
  HINSTANCE self = GetModuleHandleA(nullptr);
  HICON icon = LoadIconA(self, MAKEINTRESOURCEA(107));
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(LoadIconA(self, MAKEINTRESOURCEA(107)), icon) << "one shared handle per resource";
  SDL_Surface* surface = platform::SurfaceFromIcon(icon);
  ASSERT_NE(surface, nullptr);
  EXPECT_EQ(surface->w, 32) << "the system icon size";
  EXPECT_EQ(LoadIconA(self, MAKEINTRESOURCEA(108)), nullptr) << "no such resource";
  EXPECT_EQ(LoadIconA(self, MAKEINTRESOURCEA(109)), nullptr) << "not an icon we read";
  EXPECT_EQ(LoadIconA(nullptr, MAKEINTRESOURCEA(107)), nullptr) << "system icons are not there";
  EXPECT_EQ(LoadIconA(nullptr, IDI_APPLICATION), nullptr);
  EXPECT_EQ(LoadIconA(self, "NAMED"), nullptr) << "named resources are not there";
  EXPECT_EQ(platform::SurfaceFromIcon(nullptr), nullptr);
  EXPECT_EQ(platform::SurfaceFromIcon(reinterpret_cast<HICON>(self)), nullptr);
}

}  // namespace
