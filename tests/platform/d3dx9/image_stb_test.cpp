// stb_image (the browser build's PNG decoder and JPEG header reader) against
// the native libjpeg-turbo and libpng decoders, on the program's own generated
// images: same size and alpha flag, PNG pixels alike, JPEG channels within 2
// steps of 255 (which is why the page takes a JPEG's pixels from the
// browser's decoder, see tests/web/). stb's IDCT and chroma
// upsampling round differently: of the 6.6 million channel values, six (two
// each in GINGHAM, LEOPARD and WAVEDBL) are 3 steps off, so a few in a million
// may be, never more. And it refuses what is no image, as the texture
// loaders' D3DXERR_INVALIDDATA needs.
#include "image_stb.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

using platform::Image;
using platform::ImageError;
using platform::ImageFileInfo;
using platform::ImageFormat;

std::vector<std::string> AssetFiles() {
  std::vector<std::string> files;
  std::stringstream list(EF_ASSET_FILES);
  for (std::string file; std::getline(list, file, ',');) files.push_back(file);
  return files;
}

ImageFormat FormatOf(const std::string& path) {
  return path.substr(path.size() - 4) == ".png" ? ImageFormat::Png : ImageFormat::Jpeg;
}

TEST(D3DX9StbDecoder, MatchesTheNativeDecodersOnTheProgramsImages) {
  const std::vector<std::string> files = AssetFiles();
  ASSERT_EQ(files.size(), 26u);
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    std::vector<std::uint8_t> bytes;
    ImageError error = ImageError::None;
    ASSERT_TRUE(platform::ReadFileBytes(std::string(EF_ASSET_DIR) + "/" + file, &bytes, &error))
        << platform::ImageErrorName(error);
    Image native;
    ASSERT_TRUE(platform::DecodeImageFromMemory(bytes.data(), bytes.size(), 4096, &native, &error));
    ImageFileInfo info;
    ASSERT_TRUE(platform::image_detail::StbReadInfo(bytes.data(), bytes.size(), FormatOf(file),
                                                    &info, &error));
    Image stb;
    ASSERT_TRUE(platform::image_detail::StbDecode(bytes.data(), bytes.size(), FormatOf(file), 4096,
                                                  &stb, &error));
    EXPECT_EQ(info.width, native.info.width);
    EXPECT_EQ(info.height, native.info.height);
    EXPECT_EQ(info.hasAlpha, native.info.hasAlpha);
    EXPECT_EQ(stb.info.format, native.info.format);
    ASSERT_EQ(stb.pixels.size(), native.pixels.size());
    int worst = 0;
    size_t worstAt = 0;
    size_t overTwo = 0;
    for (size_t i = 0; i < stb.pixels.size(); ++i) {
      const int difference = std::abs(int{stb.pixels[i]} - int{native.pixels[i]});
      if (difference > 2) ++overTwo;
      if (difference > worst) {
        worst = difference;
        worstAt = i;
      }
    }
    EXPECT_LE(worst, 3) << "byte " << worstAt << " (pixel " << worstAt / 4 << ", channel "
                        << worstAt % 4 << " of B, G, R, A)";
    EXPECT_LE(overTwo * 100000, stb.pixels.size()) << overTwo << " values more than 2 steps off";
  }
}

TEST(D3DX9StbDecoder, RefusesWhatIsNoImage) {
  const std::uint8_t pngSignatureOnly[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  const std::uint8_t jpegStartOnly[] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00};
  const std::uint8_t text[] = {'n', 'o', ' ', 'i', 'm', 'a', 'g', 'e'};
  struct Case {
    const std::uint8_t* data;
    size_t size;
    ImageFormat format;
  };
  for (const Case& c : {Case{pngSignatureOnly, sizeof pngSignatureOnly, ImageFormat::Png},
                        Case{jpegStartOnly, sizeof jpegStartOnly, ImageFormat::Jpeg},
                        Case{text, sizeof text, ImageFormat::Png}}) {
    Image image;
    ImageError error = ImageError::None;
    EXPECT_FALSE(platform::image_detail::StbDecode(c.data, c.size, c.format, 4096, &image, &error));
    EXPECT_EQ(error, ImageError::Corrupt);
    EXPECT_TRUE(image.pixels.empty());
  }
}

}  // namespace
