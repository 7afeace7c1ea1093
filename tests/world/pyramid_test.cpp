// Tests of the pyramid against device and buffer doubles: the call sequences
// of Create, Build and Draw, the uploaded vertex bytes, the fan's geometry,
// and the release in the destructor (a failing buffer: mesh_buffer_test).
#include "world/pyramid.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "mocks/d3d9_mocks.h"

namespace {

using ::testing::_;
using ::testing::DoAll;
using ::testing::InSequence;
using ::testing::IsNull;
using ::testing::Return;
using ::testing::SetArgPointee;
using ::testing::StrictMock;

const DWORD kColoredFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE;  // 0x42

// The six fan vertices as the device must receive them.
struct ExpectedVertex {
  float x, y, z;
  std::uint32_t color;
};
const ExpectedVertex kExpectedFan[6] = {
    {0.0f, 2.0f, 0.0f, 0xFFFF0000u},    // apex, red
    {1.0f, 0.0f, -1.0f, 0xFF00FF00u},   // green
    {-1.0f, 0.0f, -1.0f, 0xFF0000FFu},  // blue
    {-1.0f, 0.0f, 1.0f, 0xFFFFFF00u},   // yellow
    {1.0f, 0.0f, 1.0f, 0xFF00FFFFu},    // cyan
    {1.0f, 0.0f, -1.0f, 0xFFFF00FFu},   // magenta, closes the fan
};
static_assert(sizeof(kExpectedFan) == 96, "six 16-byte vertices");

TEST(Pyramid, ConstructionHoldsNoBuffer) {
  Pyramid pyramid;
  EXPECT_EQ(nullptr, pyramid.pVertexBuffer);
}

TEST(Pyramid, FanHasFourOutwardFacesAroundTheApex) {
  ASSERT_EQ(96u, sizeof(g_triangleFan));
  EXPECT_EQ(0, std::memcmp(kExpectedFan, g_triangleFan, sizeof(kExpectedFan)));

  // Fan triangles (0, i, i + 1). Each must be clockwise seen from outside:
  // in left-handed space (b - a) x (c - a) then points away from the axis.
  const float outward[4][3] = {{0, 0, -1}, {-1, 0, 0}, {0, 0, 1}, {1, 0, 0}};
  for (int i = 1; i <= 4; ++i) {
    const ColoredVertex& a = g_triangleFan[0];
    const ColoredVertex& b = g_triangleFan[i];
    const ColoredVertex& c = g_triangleFan[i + 1];
    const float ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
    const float vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
    const float nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
    const float* o = outward[i - 1];
    EXPECT_GT(nx * o[0] + ny * o[1] + nz * o[2], 0.0f) << "face " << i << " is wound inward";
    EXPECT_GT(ny, 0.0f) << "face " << i << " leans outward and up";
  }
}

class PyramidWithDevice : public ::testing::Test {
 protected:
  StrictMock<MockDevice> device_;
  StrictMock<MockVertexBuffer> buffer_;
  Pyramid pyramid_;  // declared last: destroyed before the doubles it releases
};

TEST_F(PyramidWithDevice, CreateMakesTheBufferAndBuildUploadsTheFan) {
  std::vector<std::uint8_t> memory(96, 0xCD);
  {
    InSequence order;
    EXPECT_CALL(device_, CreateVertexBuffer(96u, 0u, kColoredFvf, D3DPOOL_DEFAULT, _, IsNull()))
        .WillOnce(DoAll(SetArgPointee<4>(&buffer_), Return(D3D_OK)));
    EXPECT_CALL(buffer_, Lock(0u, 96u, _, 0u))
        .WillOnce(DoAll(SetArgPointee<2>(memory.data()), Return(D3D_OK)));
    EXPECT_CALL(buffer_, Unlock()).WillOnce(Return(D3D_OK));
    EXPECT_CALL(buffer_, Release()).WillOnce(Return(0));  // the destructor, once
  }
  EXPECT_EQ(0, pyramid_.Create(&device_));  // no Lock yet: the strict buffer would object
  EXPECT_EQ(&buffer_, pyramid_.pVertexBuffer);
  EXPECT_EQ(&device_, pyramid_.pDevice);
  EXPECT_EQ(0, pyramid_.Build());
  EXPECT_EQ(0, std::memcmp(kExpectedFan, memory.data(), 96))
      << "the locked memory holds the six vertices byte for byte";
}

TEST_F(PyramidWithDevice, DrawIssuesFourCallsAndBindsNoTexture) {
  pyramid_.pDevice = &device_;
  pyramid_.pVertexBuffer = &buffer_;
  {
    InSequence order;
    EXPECT_CALL(device_, SetRenderState(D3DRS_FILLMODE, DWORD(D3DFILL_SOLID)));
    EXPECT_CALL(device_, SetStreamSource(0u, &buffer_, 0u, 16u));
    EXPECT_CALL(device_, SetFVF(kColoredFvf));
    EXPECT_CALL(device_, DrawPrimitive(D3DPT_TRIANGLEFAN, 0u, 4u));
  }
  // The strict device fails the test on any SetTexture.
  EXPECT_EQ(0, pyramid_.Draw());
  EXPECT_CALL(buffer_, Release()).WillOnce(Return(0));
}

TEST(Pyramid, DestructorWithoutABufferReleasesNothing) {
  StrictMock<MockDevice> device;  // strict: any call fails the test
  {
    Pyramid pyramid;
    pyramid.pDevice = &device;  // a device, but no buffer
  }
}

}  // namespace
