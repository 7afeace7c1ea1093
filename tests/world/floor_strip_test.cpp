// Tests of the floor strip against device and buffer doubles: the exact call
// sequences of Load, Build and Draw, the bytes uploaded, what happens without
// a texture, and what the destructor releases (a failing buffer:
// mesh_buffer_test).
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

class FloorStripWithDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    // Load without a grass file: only the two sampler states reach the device.
    EXPECT_CALL(device_, SetSamplerState(_, _, _)).Times(2);
    ASSERT_EQ(0, strip_.Load(&device_));
    ::testing::Mock::VerifyAndClearExpectations(&device_);
  }

  StrictMock<MockDevice> device_;
  StrictMock<MockVertexBuffer> buffer_;
  StrictMock<MockTexture> texture_;
  FloorStrip strip_;  // declared last: destroyed before the doubles it releases
};

TEST_F(FloorStripWithDevice, BuildCreatesAWriteOnlyDefaultPoolBufferAndUploadsTheTable) {
  std::vector<std::uint8_t> memory(80, 0xCD);
  {
    InSequence order;
    EXPECT_CALL(device_, CreateVertexBuffer(80u, DWORD(D3DUSAGE_WRITEONLY), kTexturedFvf,
                                            D3DPOOL_DEFAULT, _, IsNull()))
        .WillOnce(DoAll(SetArgPointee<4>(&buffer_), Return(D3D_OK)));
    EXPECT_CALL(buffer_, Lock(0u, 80u, _, 0u))
        .WillOnce(DoAll(SetArgPointee<2>(memory.data()), Return(D3D_OK)));
    EXPECT_CALL(buffer_, Unlock()).WillOnce(Return(D3D_OK));
  }
  EXPECT_EQ(0, strip_.Build());
  EXPECT_EQ(&buffer_, strip_.pVertexBuffer);
  EXPECT_EQ(0, std::memcmp(kExpectedVertices, memory.data(), 80))
      << "the locked memory holds the four vertices byte for byte";

  EXPECT_CALL(buffer_, Release()).WillOnce(Return(0));
}

TEST_F(FloorStripWithDevice, DrawIssuesFiveCallsInOrder) {
  strip_.pVertexBuffer = &buffer_;
  strip_.pTexture = &texture_;
  {
    InSequence order;
    EXPECT_CALL(device_, SetFVF(kTexturedFvf));
    EXPECT_CALL(device_, SetRenderState(D3DRS_FILLMODE, DWORD(D3DFILL_SOLID)));
    EXPECT_CALL(device_, SetTexture(0u, &texture_));
    EXPECT_CALL(device_, SetStreamSource(0u, &buffer_, 0u, 20u));
    EXPECT_CALL(device_, DrawPrimitive(D3DPT_TRIANGLESTRIP, 0u, 2u));
  }
  EXPECT_EQ(0, strip_.Draw());
  ::testing::Mock::VerifyAndClearExpectations(&device_);

  // Destruction: the buffer first, then the texture, each exactly once.
  InSequence order;
  EXPECT_CALL(buffer_, Release()).WillOnce(Return(0));
  EXPECT_CALL(texture_, Release()).WillOnce(Return(0));
}

TEST_F(FloorStripWithDevice, DrawWithoutATextureBindsNoneOnStage0) {
  strip_.pVertexBuffer = &buffer_;
  EXPECT_CALL(device_, SetFVF(_));
  EXPECT_CALL(device_, SetRenderState(_, _));
  EXPECT_CALL(device_, SetTexture(0u, IsNull()));
  EXPECT_CALL(device_, SetStreamSource(0u, &buffer_, 0u, 20u));
  EXPECT_CALL(device_, DrawPrimitive(D3DPT_TRIANGLESTRIP, 0u, 2u));
  EXPECT_EQ(0, strip_.Draw());
  EXPECT_CALL(buffer_, Release()).WillOnce(Return(0));
}

TEST(FloorStrip, DestructorWithNothingLoadedReleasesNothing) {
  StrictMock<MockDevice> device;  // strict: any call fails the test
  {
    FloorStrip strip;
    strip.pDevice = &device;  // a device, but no texture and no buffer
  }
}

}  // namespace
