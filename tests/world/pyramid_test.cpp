// Tests of the pyramid: the fan's vertex bytes and geometry, and the
// destructor without a buffer (its buffer, upload and Draw calls, and a
// failing buffer: mesh_buffer_test).
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

TEST(Pyramid, DestructorWithoutABufferReleasesNothing) {
  StrictMock<MockDevice> device;  // strict: any call fails the test
  {
    Pyramid pyramid;
    pyramid.pDevice = &device;  // a device, but no buffer
  }
}

}  // namespace
