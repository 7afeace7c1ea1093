// Tests for the D3DX file loaders against a fake device: the exact
// CreateTexture arguments for the calls the program makes, level contents,
// and that every failure leaves *ppTexture NULL and leaks no texture.
#include <d3dx9.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>

#include "d3d9/first_frame.h"
#include "mocks/fake_d3d9.h"
#include "test_images.h"

#include <gtest/gtest.h>

namespace {

using fake_d3d9::FakeDevice;
using fake_d3d9::FakeTexture;
using namespace test_images;

// Recognisable non-null value to prove the loader clears *ppTexture.
IDirect3DTexture9* const kGarbage = reinterpret_cast<IDirect3DTexture9*>(0x1);

std::vector<std::uint32_t> Gradient(std::uint32_t width, std::uint32_t height, std::uint8_t alpha) {
  std::vector<std::uint32_t> px;
  for (std::uint32_t y = 0; y < height; ++y)
    for (std::uint32_t x = 0; x < width; ++x)
      px.push_back(Argb(alpha, static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y),
                        static_cast<std::uint8_t>(x ^ y)));
  return px;
}

class D3DXTextureTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (const std::string& what : device.misuse())
      ADD_FAILURE() << "the loader misused the device: " << what;
  }
  HRESULT LoadEx(const std::string& path, UINT width, UINT height, UINT levels, D3DFORMAT format,
                 DWORD filter, D3DCOLOR colorKey = 0, D3DXIMAGE_INFO* info = nullptr) {
    texture = kGarbage;
    return D3DXCreateTextureFromFileExA(&device, path.c_str(), width, height, levels, 0, format,
                                        D3DPOOL_MANAGED, filter, filter, colorKey, info, nullptr,
                                        &texture);
  }
  FakeTexture* Created() const {
    return device.textures.empty() ? nullptr : device.textures.back().get();
  }

  void ExpectFailedCleanly(HRESULT hr, HRESULT expected) {
    EXPECT_EQ(expected, hr) << std::hex << "hr 0x" << static_cast<unsigned>(hr);
    EXPECT_EQ(nullptr, texture);
    for (const auto& t : device.textures) EXPECT_EQ(0u, t->RefCount()) << "texture leaked";
  }

  TempDir dir;
  FakeDevice device;
  IDirect3DTexture9* texture = nullptr;
};

TEST_F(D3DXTextureTest, ImageInfoReportsSizeFormatAndFileType) {
  D3DXIMAGE_INFO info{};
  ASSERT_EQ(
      D3D_OK,
      D3DXGetImageInfoFromFileA(
          dir.Write("a.png", MakePngFromArgb(300, 200, Gradient(300, 200, 0x80), true)).c_str(),
          &info));
  EXPECT_EQ(300u, info.Width);
  EXPECT_EQ(200u, info.Height);
  EXPECT_EQ(1u, info.Depth);
  EXPECT_EQ(1u, info.MipLevels);
  EXPECT_EQ(D3DFMT_A8R8G8B8, info.Format);
  EXPECT_EQ(D3DRTYPE_TEXTURE, info.ResourceType);
  EXPECT_EQ(D3DXIFF_PNG, info.ImageFileFormat);

  ASSERT_EQ(
      D3D_OK,
      D3DXGetImageInfoFromFileA(
          dir.Write("b.png", MakePngFromArgb(3, 2, Gradient(3, 2, 0xFF), false)).c_str(), &info));
  EXPECT_EQ(D3DFMT_X8R8G8B8, info.Format);

  ASSERT_EQ(D3D_OK,
            D3DXGetImageInfoFromFileA(
                dir.Write("c.jpg", MakeJpeg(24, 8, Solid(24, 8, 0xFF204060))).c_str(), &info));
  EXPECT_EQ(24u, info.Width);
  EXPECT_EQ(8u, info.Height);
  EXPECT_EQ(D3DFMT_X8R8G8B8, info.Format);
  EXPECT_EQ(D3DXIFF_JPG, info.ImageFileFormat);

  ASSERT_EQ(
      D3D_OK,
      D3DXGetImageInfoFromFileA(
          dir.Write("d.bmp", MakeBmp(5, 7, 24, false, Solid(5, 7, 0xFF000000))).c_str(), &info));
  EXPECT_EQ(5u, info.Width);
  EXPECT_EQ(7u, info.Height);
  EXPECT_EQ(D3DXIFF_BMP, info.ImageFileFormat);

  EXPECT_EQ(D3DXERR_INVALIDDATA,
            D3DXGetImageInfoFromFileA((dir.Path() + "/none.png").c_str(), &info));
  EXPECT_EQ(D3DXERR_INVALIDDATA,
            D3DXGetImageInfoFromFileA(dir.Write("e.png", {1, 2, 3}).c_str(), &info));
  EXPECT_EQ(D3DERR_INVALIDCALL, D3DXGetImageInfoFromFileA(nullptr, &info));
  EXPECT_TRUE(device.createCalls.empty());
}

TEST_F(D3DXTextureTest, SkyFaceCallCopiesTheImageExactlyIntoOneOpaqueLevel) {
  // Source alpha is 0x80 everywhere; X8R8G8B8 must still come out opaque.
  const auto pixels = Gradient(300, 200, 0x80);
  const std::string path = dir.Write("sky_front.png", MakePngFromArgb(300, 200, pixels, true));
  D3DXIMAGE_INFO info{};
  ASSERT_EQ(D3D_OK, LoadEx(path, 300, 200, 1, D3DFMT_X8R8G8B8, D3DX_FILTER_NONE, 0, &info));
  EXPECT_EQ(300u, info.Width);
  EXPECT_EQ(D3DXIFF_PNG, info.ImageFileFormat);
  EXPECT_EQ(1, device.getDeviceCapsCalls);

  ASSERT_EQ(1u, device.createCalls.size());
  const auto& call = device.createCalls[0];
  EXPECT_EQ(300u, call.width);
  EXPECT_EQ(200u, call.height);
  EXPECT_EQ(1u, call.levels);
  EXPECT_EQ(0u, call.usage);
  EXPECT_EQ(D3DFMT_X8R8G8B8, call.format);
  EXPECT_EQ(D3DPOOL_MANAGED, call.pool);

  ASSERT_EQ(static_cast<IDirect3DTexture9*>(Created()), texture);
  EXPECT_EQ(1u, Created()->RefCount());
  const auto& level = Created()->Levels()[0];
  EXPECT_TRUE(level.written);
  EXPECT_FALSE(level.locked) << "level left locked";
  EXPECT_TRUE(Created()->lockRectWasNull.at(0)) << "whole level locked";
  for (std::uint32_t y = 0; y < 200; y += 7)
    for (std::uint32_t x = 0; x < 300; x += 11)
      ASSERT_EQ(Hex((pixels[y * 300 + x] & 0x00FFFFFFu) | 0xFF000000u),
                Hex(Created()->Pixel(0, x, y)))
          << "pixel " << x << "," << y;
  // Row padding beyond the image width is not written over.
  EXPECT_EQ(0xCD, level.bytes[300 * 4]);
  texture->Release();
}

TEST_F(D3DXTextureTest, NonPow2DefaultKeepsTheExactSize) {
  const std::string path =
      dir.Write("face.bmp", MakeBmp(300, 200, 24, false, Gradient(300, 200, 0xFF)));
  ASSERT_EQ(D3D_OK, LoadEx(path, D3DX_DEFAULT_NONPOW2, D3DX_DEFAULT_NONPOW2, 1, D3DFMT_X8R8G8B8,
                           D3DX_FILTER_NONE));
  ASSERT_EQ(1u, device.createCalls.size());
  EXPECT_EQ(300u, device.createCalls[0].width);
  EXPECT_EQ(200u, device.createCalls[0].height);
  EXPECT_EQ(Hex(Argb(0xFF, 17, 33, 17 ^ 33)), Hex(Created()->Pixel(0, 17, 33)));
  texture->Release();
}

TEST_F(D3DXTextureTest, DefaultCallRoundsUpToPowersOfTwoWithAFullMipChain) {
  const std::uint32_t colour = Argb(0xFF, 0x30, 0x90, 0xC0);
  const std::string path =
      dir.Write("grass.png", MakePngFromArgb(300, 200, Solid(300, 200, colour), false));
  texture = kGarbage;
  ASSERT_EQ(D3D_OK, D3DXCreateTextureFromFileA(&device, path.c_str(), &texture));

  ASSERT_EQ(1u, device.createCalls.size());
  const auto& call = device.createCalls[0];
  EXPECT_EQ(512u, call.width);
  EXPECT_EQ(256u, call.height);
  EXPECT_EQ(10u, call.levels);
  EXPECT_EQ(0u, call.usage);
  EXPECT_EQ(D3DFMT_X8R8G8B8, call.format);
  EXPECT_EQ(D3DPOOL_MANAGED, call.pool);

  ASSERT_EQ(10u, Created()->Levels().size());
  for (UINT level = 0; level < 10; ++level) {
    const auto& l = Created()->Levels()[level];
    EXPECT_TRUE(l.written) << "level " << level;
    EXPECT_FALSE(l.locked) << "level " << level;
    // A flat image stays flat through scaling and every mip level.
    EXPECT_EQ(Hex(colour), Hex(Created()->Pixel(level, 0, 0))) << "level " << level;
    EXPECT_EQ(Hex(colour), Hex(Created()->Pixel(level, l.width - 1, l.height - 1)))
        << "level " << level;
  }
  EXPECT_EQ(1u, Created()->Levels()[9].width);
  EXPECT_EQ(1u, Created()->Levels()[9].height);
  texture->Release();
}

TEST_F(D3DXTextureTest, MipLevelsAreBoxReductionsOfTheLevelAbove) {
  // 4x4 with a 2x2 checker of black and white: level 1 is uniform grey.
  std::vector<std::uint32_t> px(16);
  for (std::uint32_t i = 0; i < 16; ++i)
    px[i] = ((i % 4) + (i / 4)) % 2 ? 0xFFFFFFFFu : 0xFF000000u;
  const std::string path = dir.Write("checker.png", MakePngFromArgb(4, 4, px, false));
  ASSERT_EQ(D3D_OK,
            LoadEx(path, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, D3DFMT_UNKNOWN, D3DX_DEFAULT));
  ASSERT_EQ(3u, device.createCalls.at(0).levels);
  EXPECT_EQ(Hex(px[5]), Hex(Created()->Pixel(0, 1, 1)));
  for (UINT y = 0; y < 2; ++y)
    for (UINT x = 0; x < 2; ++x)
      EXPECT_EQ(Hex(0xFF808080u), Hex(Created()->Pixel(1, x, y))) << x << "," << y;
  EXPECT_EQ(Hex(0xFF808080u), Hex(Created()->Pixel(2, 0, 0)));
  texture->Release();
}

TEST_F(D3DXTextureTest, ExplicitSizesLevelsAndFormatsAreHonoured) {
  const std::string alphaPng =
      dir.Write("leaf.png", MakePngFromArgb(8, 8, Solid(8, 8, 0x40102030), true));
  ASSERT_EQ(D3D_OK, LoadEx(alphaPng, 32, 16, 3, D3DFMT_UNKNOWN, D3DX_FILTER_LINEAR));
  EXPECT_EQ(32u, device.createCalls.back().width);
  EXPECT_EQ(16u, device.createCalls.back().height);
  EXPECT_EQ(3u, device.createCalls.back().levels);
  EXPECT_EQ(D3DFMT_A8R8G8B8, device.createCalls.back().format)
      << "alpha image defaults to A8R8G8B8";
  EXPECT_EQ(Hex(0x40102030u), Hex(Created()->Pixel(0, 31, 15)));
  EXPECT_EQ(Hex(0x40102030u), Hex(Created()->Pixel(2, 7, 3)));
  texture->Release();

  // More levels than the chain has are clamped to the full chain.
  ASSERT_EQ(D3D_OK, LoadEx(alphaPng, D3DX_DEFAULT, D3DX_DEFAULT, 20, D3DFMT_UNKNOWN, D3DX_DEFAULT));
  EXPECT_EQ(4u, device.createCalls.back().levels);
  texture->Release();

  // Width/Height 0 mean "from the file, rounded up".
  const std::string jpeg = dir.Write("rock.jpg", MakeJpeg(24, 8, Solid(24, 8, 0xFF808080)));
  ASSERT_EQ(D3D_OK, LoadEx(jpeg, 0, 0, 1, D3DFMT_UNKNOWN, D3DX_DEFAULT));
  EXPECT_EQ(32u, device.createCalls.back().width);
  EXPECT_EQ(8u, device.createCalls.back().height);
  EXPECT_EQ(D3DFMT_X8R8G8B8, device.createCalls.back().format);
  texture->Release();
}

TEST_F(D3DXTextureTest, ColorKeyedPixelsBecomeTransparentBlack) {
  const std::uint32_t key = 0xFFFF00FF, other = 0xFF00FF00;
  const std::string path = dir.Write("sprite.bmp", MakeBmp(2, 1, 24, false, {key, other}));
  ASSERT_EQ(D3D_OK, LoadEx(path, D3DX_DEFAULT_NONPOW2, D3DX_DEFAULT_NONPOW2, 1, D3DFMT_UNKNOWN,
                           D3DX_FILTER_NONE, key));
  EXPECT_EQ(D3DFMT_A8R8G8B8, device.createCalls.back().format);
  EXPECT_EQ(Hex(0u), Hex(Created()->Pixel(0, 0, 0)));
  EXPECT_EQ(Hex(other), Hex(Created()->Pixel(0, 1, 0)));
  texture->Release();
}

TEST_F(D3DXTextureTest, NullArgumentsAreInvalidCalls) {
  const std::string path =
      dir.Write("ok.png", MakePngFromArgb(2, 2, Solid(2, 2, 0xFF000000), false));
  texture = kGarbage;
  ExpectFailedCleanly(D3DXCreateTextureFromFileA(nullptr, path.c_str(), &texture),
                      D3DERR_INVALIDCALL);
  texture = kGarbage;
  ExpectFailedCleanly(D3DXCreateTextureFromFileA(&device, nullptr, &texture), D3DERR_INVALIDCALL);
  EXPECT_EQ(D3DERR_INVALIDCALL, D3DXCreateTextureFromFileA(&device, path.c_str(), nullptr));
  EXPECT_TRUE(device.createCalls.empty());
}

TEST_F(D3DXTextureTest, BadFilesAreInvalidDataAndCreateNothing) {
  const std::string good =
      dir.Write("good.png", MakePngFromArgb(4, 4, Solid(4, 4, 0xFF000000), false));
  Bytes truncatedPng(MakePngFromArgb(64, 64, Gradient(64, 64, 0xFF), false));
  truncatedPng.resize(truncatedPng.size() / 2);
  Bytes truncatedJpeg = MakeJpeg(64, 64, Gradient(64, 64, 0xFF));
  truncatedJpeg.resize(truncatedJpeg.size() / 2);
  const std::vector<std::string> paths = {
      dir.Path() + "/missing.png",         dir.Path(),
      dir.Write("empty.png", {}),          dir.Write("noise.jpg", Bytes(1000, 0x5A)),
      dir.Write("half.png", truncatedPng), dir.Write("half.jpg", truncatedJpeg),
  };
  for (const std::string& path : paths) {
    SCOPED_TRACE(path);
    ExpectFailedCleanly(
        LoadEx(path, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, D3DFMT_UNKNOWN, D3DX_DEFAULT),
        D3DXERR_INVALIDDATA);
  }
  // Truncated pixel data is only found while decoding, still before creating.
  EXPECT_TRUE(device.createCalls.empty());
  ASSERT_EQ(D3D_OK, LoadEx(good, D3DX_DEFAULT, D3DX_DEFAULT, 1, D3DFMT_UNKNOWN, D3DX_DEFAULT));
  texture->Release();
}

TEST_F(D3DXTextureTest, ImagesBeyondTheDeviceLimitFailBeforeDecoding) {
  device.maxTextureWidth = 64;
  device.maxTextureHeight = 64;
  const std::string wide =
      dir.Write("wide.png", MakePngFromArgb(100, 10, Solid(100, 10, 0xFF000000), false));
  ExpectFailedCleanly(LoadEx(wide, D3DX_DEFAULT, D3DX_DEFAULT, 1, D3DFMT_UNKNOWN, D3DX_DEFAULT),
                      D3DXERR_INVALIDDATA);
  const std::string huge = dir.Write("huge.png", MakePngHeaderOnly(60000, 60000));
  ExpectFailedCleanly(LoadEx(huge, D3DX_DEFAULT, D3DX_DEFAULT, 1, D3DFMT_UNKNOWN, D3DX_DEFAULT),
                      D3DXERR_INVALIDDATA);
  EXPECT_TRUE(device.createCalls.empty());

  // A small image asked for at a size beyond the device is the caller's mistake.
  const std::string small =
      dir.Write("small.png", MakePngFromArgb(8, 8, Solid(8, 8, 0xFF000000), false));
  ExpectFailedCleanly(LoadEx(small, 128, 8, 1, D3DFMT_UNKNOWN, D3DX_DEFAULT), D3DERR_INVALIDCALL);
  EXPECT_TRUE(device.createCalls.empty());
}

// Each failing step says why, once per path, on one line whatever the path
// holds.
TEST_F(D3DXTextureTest, DeviceFailuresPropagateAreReportedAndNothingLeaks) {
  const Bytes png = MakePngFromArgb(16, 16, Solid(16, 16, 0xFF000000), false);
  const std::string full = dir.Write("full.png", png), partial = dir.Write("partial.png", png);
  ::testing::internal::CaptureStderr();

  device.createTextureResult = D3DERR_OUTOFVIDEOMEMORY;
  ExpectFailedCleanly(
      LoadEx(full, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, D3DFMT_UNKNOWN, D3DX_DEFAULT),
      D3DERR_OUTOFVIDEOMEMORY);
  EXPECT_EQ(1u, device.createCalls.size());

  device.createTextureResult = D3D_OK;
  device.failLockAtLevel = 2;
  ExpectFailedCleanly(
      LoadEx(partial, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, D3DFMT_UNKNOWN, D3DX_DEFAULT),
      D3DERR_INVALIDCALL);
  ASSERT_EQ(1u, device.textures.size());
  EXPECT_EQ(0u, device.textures[0]->RefCount()) << "texture that failed to fill must be released";
  EXPECT_FALSE(device.textures[0]->Levels()[1].locked) << "filled levels are unlocked";

  ExpectFailedCleanly(LoadEx(dir.Path() + "/a\nb\x1b[31m.png", D3DX_DEFAULT, D3DX_DEFAULT, 1,
                             D3DFMT_UNKNOWN, D3DX_DEFAULT),
                      D3DXERR_INVALIDDATA);
  LoadEx(full, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, D3DFMT_UNKNOWN, D3DX_DEFAULT);
  const std::string said = ::testing::internal::GetCapturedStderr();
  for (const char* line :
       {"full.png\" (in the folder ", "): out of memory while making the texture (16 x 16)\n",
        "partial.png\" (in the folder ",
        "): the texture's level 2 could not be filled: an invalid call\n",
        "/a\\nb\\x1b[31m.png\" (in the folder ", "): no such file\n"})
    EXPECT_NE(std::string::npos, said.find(line)) << "no \"" << line << "\" in:\n" << said;
  EXPECT_EQ(3, std::count(said.begin(), said.end(), '\n')) << said;
  EXPECT_EQ(std::string::npos, said.find('\x1b')) << said;
}

// The floor strips load one grass image eleven times: the same load of the
// same file reuses its decoded levels (proven here by pixels that changed
// under an unchanged stamp), each load still gets a texture of its own, a
// file with a new change time is decoded again, and after the first frame
// nothing decoded is kept.
TEST_F(D3DXTextureTest, TheSameLoadReusesItsDecodeUntilTheFileChangesOrAFrameIsShown) {
  const std::string path =
      dir.Write("grass.png", MakePngFromArgb(8, 8, Solid(8, 8, 0xFF102030), false));
  struct stat stamp {};
  ASSERT_EQ(0, stat(path.c_str(), &stamp));
  // Rewrites the file with another colour and the change time `at`.
  const auto rewrite = [&](std::uint32_t colour, timespec at) {
    dir.Write("grass.png", MakePngFromArgb(8, 8, Solid(8, 8, colour), false));
    const timespec times[2] = {at, at};
    ASSERT_EQ(0, utimensat(AT_FDCWD, path.c_str(), times, 0));
  };
  const auto loaded = [&] {
    EXPECT_EQ(D3D_OK,
              LoadEx(path, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, D3DFMT_UNKNOWN, D3DX_DEFAULT));
    return Hex(Created()->Pixel(0, 0, 0));
  };
  EXPECT_EQ(Hex(0xFF102030u), loaded());
  rewrite(0xFF405060, stamp.st_mtim);
  EXPECT_EQ(Hex(0xFF102030u), loaded()) << "decoded again";
  EXPECT_EQ(2u, device.textures.size());
  EXPECT_NE(device.textures[0]->Levels()[0].bytes.data(),
            device.textures[1]->Levels()[0].bytes.data());
  timespec later = stamp.st_mtim;
  later.tv_sec += 1;
  rewrite(0xFF405060, later);
  EXPECT_EQ(Hex(0xFF405060u), loaded()) << "a changed file reused the old decode";
  rewrite(0xFF102030, later);
  platform::NotePresented();
  EXPECT_EQ(Hex(0xFF102030u), loaded()) << "kept after the first frame";
}

TEST_F(D3DXTextureTest, BackslashPathsAndMisnamedFilesLoad) {
  dir.Write("tex/ground.jpg", MakePngFromArgb(4, 4, Solid(4, 4, 0xFF112233), false));  // a PNG
  D3DXIMAGE_INFO info{};
  ASSERT_EQ(D3D_OK, LoadEx(dir.Path() + "\\tex\\ground.jpg", D3DX_DEFAULT, D3DX_DEFAULT, 1,
                           D3DFMT_UNKNOWN, D3DX_DEFAULT, 0, &info));
  EXPECT_EQ(D3DXIFF_PNG, info.ImageFileFormat);
  EXPECT_EQ(Hex(0xFF112233u), Hex(Created()->Pixel(0, 3, 3)));
  texture->Release();
}

// The double itself: a loader's mistakes must show, or the tests above prove
// nothing about them.
TEST(FakeD3D9, ReportsWhatARealDeviceWouldPunish) {
  FakeDevice device;
  IDirect3DTexture9* texture = nullptr;
  ASSERT_EQ(D3D_OK,
            device.CreateTexture(4, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr));
  EXPECT_EQ(D3DERR_INVALIDCALL, device.CreateTexture(8192, 2, 1, 0, D3DFMT_A8R8G8B8,
                                                     D3DPOOL_MANAGED, &texture, nullptr));
  EXPECT_TRUE(device.misuse().empty()) << "an oversized texture is refused, not misuse";
  texture = device.textures[0].get();
  D3DLOCKED_RECT locked{};
  ASSERT_EQ(D3D_OK, texture->LockRect(0, &locked, nullptr, 0));
  EXPECT_EQ(4 * 4 + 12, locked.Pitch);
  EXPECT_EQ(D3DERR_INVALIDCALL, texture->LockRect(0, &locked, nullptr, 0));
  static_cast<std::uint8_t*>(locked.pBits)[16] = 0;  // the first padding byte
  EXPECT_EQ(D3D_OK, texture->UnlockRect(0));
  EXPECT_EQ(D3DERR_INVALIDCALL, texture->UnlockRect(0));
  EXPECT_EQ(0u, texture->Release());
  EXPECT_EQ(0u, texture->Release());
  EXPECT_EQ(E_FAIL, device.BeginScene());
  EXPECT_EQ((std::vector<std::string>{
                "LockRect of a level already locked", "UnlockRect of a level that is not locked",
                "the row padding was written", "texture released more often than referenced",
                "IDirect3DDevice9::BeginScene called"}),
            device.misuse());
  EXPECT_EQ(0, device.LiveTextures());
}

}  // namespace
