// The texture loader talks to Direct3D only through the device and texture
// interfaces: these strict GoogleMock doubles pin down the exact call sequence
// (caps, one CreateTexture, Lock/Unlock per level) and that nothing else on the
// device is touched.
#include <d3dx9.h>

#include "mocks/d3d9_mocks.h"
#include "test_images.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using ::testing::_;
using ::testing::DoAll;
using ::testing::InSequence;
using ::testing::IsNull;
using ::testing::NotNull;
using ::testing::Return;
using ::testing::SetArgPointee;
using ::testing::StrictMock;
using namespace test_images;

D3DCAPS9 CapsWithMaxTexture(DWORD side) {
  D3DCAPS9 caps{};
  caps.MaxTextureWidth = side;
  caps.MaxTextureHeight = side;
  return caps;
}

TEST(D3DXTextureCalls, SkyFaceLoadMakesExactlyTheExpectedCalls) {
  TempDir dir;
  const std::string path = dir.Write("sky.jpg", MakeJpeg(64, 32, Solid(64, 32, 0xFF4080C0)));
  StrictMock<MockDevice> device;
  StrictMock<MockTexture> texture;
  std::vector<std::uint8_t> bits(64 * 4 * 32);
  D3DLOCKED_RECT locked{64 * 4, bits.data()};

  {
    InSequence order;
    EXPECT_CALL(device, GetDeviceCaps(NotNull()))
        .WillOnce(DoAll(SetArgPointee<0>(CapsWithMaxTexture(2048)), Return(D3D_OK)));
    EXPECT_CALL(device,
                CreateTexture(64, 32, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, NotNull(), IsNull()))
        .WillOnce(DoAll(SetArgPointee<6>(&texture), Return(D3D_OK)));
    EXPECT_CALL(texture, LockRect(0, NotNull(), IsNull(), 0u))
        .WillOnce(DoAll(SetArgPointee<1>(locked), Return(D3D_OK)));
    EXPECT_CALL(texture, UnlockRect(0)).WillOnce(Return(D3D_OK));
  }

  IDirect3DTexture9* result = nullptr;
  ASSERT_EQ(D3D_OK, D3DXCreateTextureFromFileExA(&device, path.c_str(), 64, 32, 1, 0,
                                                 D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, D3DX_FILTER_NONE,
                                                 D3DX_FILTER_NONE, 0, nullptr, nullptr, &result));
  EXPECT_EQ(static_cast<IDirect3DTexture9*>(&texture), result);
  EXPECT_EQ(0xFFu, bits[3]) << "X8R8G8B8 alpha byte";
}

TEST(D3DXTextureCalls, FailedLockUnlocksWhatWasLockedAndReleasesTheTexture) {
  TempDir dir;
  const std::string path = dir.Write("t.bmp", MakeBmp(4, 4, 24, false, Solid(4, 4, 0xFF000000)));
  StrictMock<MockDevice> device;
  StrictMock<MockTexture> texture;
  std::vector<std::uint8_t> bits(4 * 4 * 4);
  D3DLOCKED_RECT locked{16, bits.data()};

  EXPECT_CALL(device, GetDeviceCaps(_))
      .WillOnce(DoAll(SetArgPointee<0>(CapsWithMaxTexture(4096)), Return(D3D_OK)));
  EXPECT_CALL(device, CreateTexture(4, 4, 3, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, _, _))
      .WillOnce(DoAll(SetArgPointee<6>(&texture), Return(D3D_OK)));
  {
    InSequence order;
    EXPECT_CALL(texture, LockRect(0, _, _, _))
        .WillOnce(DoAll(SetArgPointee<1>(locked), Return(D3D_OK)));
    EXPECT_CALL(texture, UnlockRect(0)).WillOnce(Return(D3D_OK));
    EXPECT_CALL(texture, LockRect(1, _, _, _)).WillOnce(Return(D3DERR_INVALIDCALL));
    EXPECT_CALL(texture, Release()).WillOnce(Return(0));
  }

  IDirect3DTexture9* result = reinterpret_cast<IDirect3DTexture9*>(0x1);
  EXPECT_EQ(D3DERR_INVALIDCALL, D3DXCreateTextureFromFileA(&device, path.c_str(), &result));
  EXPECT_EQ(nullptr, result);
}

TEST(D3DXTextureCalls, UnreadableFileNeverTouchesTheDevice) {
  TempDir dir;
  StrictMock<MockDevice> device;  // any call at all fails the test
  IDirect3DTexture9* result = reinterpret_cast<IDirect3DTexture9*>(0x1);
  EXPECT_EQ(D3DXERR_INVALIDDATA,
            D3DXCreateTextureFromFileA(&device, (dir.Path() + "/nothing.png").c_str(), &result));
  EXPECT_EQ(nullptr, result);
}

}  // namespace
