// Tests of the floor strip against device doubles: the vertex table, the
// exact call sequence of Load, and the destructor with nothing loaded (its
// buffer, upload and Draw calls, a draw without a texture, the release
// order, and a failing buffer: mesh_buffer_test).
#include "world/floor_strip.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "mocks/d3d9_mocks.h"
#include "textures/test_files.h"

namespace {

using ::testing::_;
using ::testing::DoAll;
using ::testing::InSequence;
using ::testing::Invoke;
using ::testing::IsNull;
using ::testing::NiceMock;
using ::testing::Return;
using ::testing::SetArgPointee;
using ::testing::StrictMock;

const DWORD kTexturedFvf = D3DFVF_XYZ | D3DFVF_TEX1;  // 0x102

// The strip's four vertices as the device must receive them:
// x, y, z, u, v per vertex.
const float kExpectedVertices[4][5] = {
    {0.0f, 0.0f, 0.0f, 0.0f, 1.0f},
    {0.0f, 0.0f, 10.0f, 0.0f, 0.0f},
    {100.0f, 0.0f, 0.0f, 10.0f, 1.0f},
    {100.0f, 0.0f, 10.0f, 10.0f, 0.0f},
};

TEST(FloorStrip, ConstructionHoldsNothing) {
  FloorStrip strip;
  EXPECT_EQ(nullptr, strip.pTexture);
  EXPECT_EQ(nullptr, strip.pVertexBuffer);
}

TEST(FloorStrip, VertexTableIsTwoUpwardTrianglesRepeatingTheGrassTenTimes) {
  static_assert(sizeof(g_floorVertices) == 80, "four 20-byte vertices");
  EXPECT_EQ(0, std::memcmp(kExpectedVertices, g_floorVertices, sizeof(kExpectedVertices)));
  // As a strip: (0, 1, 2) and (2, 1, 3), both clockwise seen from above,
  // i.e. their normal (b - a) x (c - a) points up in left-handed space.
  const int triangles[2][3] = {{0, 1, 2}, {2, 1, 3}};
  for (const auto& t : triangles) {
    const TexturedVertex& a = g_floorVertices[t[0]];
    const TexturedVertex& b = g_floorVertices[t[1]];
    const TexturedVertex& c = g_floorVertices[t[2]];
    const float ny = (b.z - a.z) * (c.x - a.x) - (b.x - a.x) * (c.z - a.z);
    EXPECT_GT(ny, 0.0f) << "triangle " << t[0] << t[1] << t[2] << " faces down";
  }
}

TEST(FloorStrip, LoadReadsTheGrassFileAndSetsLinearFilteringOnSampler0) {
  test_files::ScratchWorkDir dir;
  ASSERT_TRUE(dir.Entered());
  ASSERT_TRUE(test_files::WriteSolidPng("pic/GRASS1.jpg", 4, 4, 0xFF20A020u));

  StrictMock<MockDevice> device;
  NiceMock<MockTexture> texture;
  std::vector<std::uint8_t> texels(4 * 4 * 4);
  ON_CALL(texture, LockRect(_, _, _, _))
      .WillByDefault(Invoke([&texels](UINT, D3DLOCKED_RECT* locked, const RECT*, DWORD) {
        locked->Pitch = 16;
        locked->pBits = texels.data();
        return D3D_OK;
      }));
  {
    InSequence order;
    // The texture loader's own calls come first...
    EXPECT_CALL(device, GetDeviceCaps(_)).WillRepeatedly(Invoke([](D3DCAPS9* caps) {
      std::memset(caps, 0, sizeof(*caps));
      caps->MaxTextureWidth = caps->MaxTextureHeight = 2048;
      return D3D_OK;
    }));
    EXPECT_CALL(device, CreateTexture(4u, 4u, _, 0u, _, D3DPOOL_MANAGED, _, IsNull()))
        .WillOnce(DoAll(SetArgPointee<6>(&texture), Return(D3D_OK)));
    // ...then the filters, minification first.
    EXPECT_CALL(device, SetSamplerState(0u, D3DSAMP_MINFILTER, DWORD(D3DTEXF_LINEAR)));
    EXPECT_CALL(device, SetSamplerState(0u, D3DSAMP_MAGFILTER, DWORD(D3DTEXF_LINEAR)));
  }
  FloorStrip strip;
  EXPECT_EQ(0, strip.Load(&device));
  EXPECT_EQ(&texture, strip.pTexture) << "the path uses a backslash and must still resolve";
  EXPECT_EQ(&device, strip.pDevice);
  EXPECT_EQ(nullptr, strip.pVertexBuffer) << "Load creates no buffer";

  EXPECT_CALL(texture, Release()).Times(1);  // by the strip's destructor
}

TEST(FloorStrip, LoadWithoutTheGrassFileLeavesTheTextureNull) {
  test_files::ScratchWorkDir dir;
  ASSERT_TRUE(dir.Entered());
  StrictMock<MockDevice> device;
  {
    InSequence order;
    EXPECT_CALL(device, SetSamplerState(0u, D3DSAMP_MINFILTER, DWORD(D3DTEXF_LINEAR)));
    EXPECT_CALL(device, SetSamplerState(0u, D3DSAMP_MAGFILTER, DWORD(D3DTEXF_LINEAR)));
  }
  FloorStrip strip;
  EXPECT_EQ(0, strip.Load(&device));
  EXPECT_EQ(nullptr, strip.pTexture);
  EXPECT_EQ(&device, strip.pDevice);
}

TEST(FloorStrip, DestructorWithNothingLoadedReleasesNothing) {
  StrictMock<MockDevice> device;  // strict: any call fails the test
  {
    FloorStrip strip;
    strip.pDevice = &device;  // a device, but no texture and no buffer
  }
}

}  // namespace
