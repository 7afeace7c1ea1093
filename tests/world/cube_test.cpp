// Tests of the cube against device and buffer doubles: the 36-vertex table
// byte for byte and its winding and texture orientation (its buffer, upload
// and Draw calls, and a failing buffer: mesh_buffer_test).
#include "world/cube.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
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

const DWORD kTexturedFvf = D3DFVF_XYZ | D3DFVF_TEX1;  // 0x102

// x, y, z, u, v. Each face: corners A (0, 1), B (0, 0), C (1, 0), D (1, 1)
// as the triangles A-B-C and C-D-A.
const float kExpectedCube[36][5] = {
    // front (z = -1)
    {-1, -1, -1, 0, 1},
    {-1, 1, -1, 0, 0},
    {1, 1, -1, 1, 0},
    {1, 1, -1, 1, 0},
    {1, -1, -1, 1, 1},
    {-1, -1, -1, 0, 1},
    // back (z = +1)
    {1, -1, 1, 0, 1},
    {1, 1, 1, 0, 0},
    {-1, 1, 1, 1, 0},
    {-1, 1, 1, 1, 0},
    {-1, -1, 1, 1, 1},
    {1, -1, 1, 0, 1},
    // top (y = +1)
    {-1, 1, -1, 0, 1},
    {-1, 1, 1, 0, 0},
    {1, 1, 1, 1, 0},
    {1, 1, 1, 1, 0},
    {1, 1, -1, 1, 1},
    {-1, 1, -1, 0, 1},
    // bottom (y = -1)
    {1, -1, -1, 0, 1},
    {1, -1, 1, 0, 0},
    {-1, -1, 1, 1, 0},
    {-1, -1, 1, 1, 0},
    {-1, -1, -1, 1, 1},
    {1, -1, -1, 0, 1},
    // left (x = -1)
    {-1, -1, 1, 0, 1},
    {-1, 1, 1, 0, 0},
    {-1, 1, -1, 1, 0},
    {-1, 1, -1, 1, 0},
    {-1, -1, -1, 1, 1},
    {-1, -1, 1, 0, 1},
    // right (x = +1)
    {1, -1, -1, 0, 1},
    {1, 1, -1, 0, 0},
    {1, 1, 1, 1, 0},
    {1, 1, 1, 1, 0},
    {1, -1, 1, 1, 1},
    {1, -1, -1, 0, 1},
};
static_assert(sizeof(kExpectedCube) == 720, "36 vertices of 20 bytes");

struct Face {
  const char* name;
  float normal[3];
};
const Face kFaces[6] = {
    {"front", {0, 0, -1}},  {"back", {0, 0, 1}},  {"top", {0, 1, 0}},
    {"bottom", {0, -1, 0}}, {"left", {-1, 0, 0}}, {"right", {1, 0, 0}},
};

TEST(Cube, VertexTableMatchesByteForByte) {
  ASSERT_EQ(720u, sizeof(CubeVertices));
  for (int i = 0; i < 36; ++i) {
    EXPECT_EQ(0, std::memcmp(kExpectedCube[i], &CubeVertices[i], 20))
        << "vertex " << i << ": expected (" << kExpectedCube[i][0] << ", " << kExpectedCube[i][1]
        << ", " << kExpectedCube[i][2] << " | " << kExpectedCube[i][3] << ", "
        << kExpectedCube[i][4] << "), actual (" << CubeVertices[i].x << ", " << CubeVertices[i].y
        << ", " << CubeVertices[i].z << " | " << CubeVertices[i].u << ", " << CubeVertices[i].v
        << ")";
  }
}

TEST(Cube, EveryTriangleFacesOutAndShowsItsImageUnmirrored) {
  for (int t = 0; t < 12; ++t) {
    const Face& face = kFaces[t / 2];
    SCOPED_TRACE(std::string(face.name) + " triangle " + std::to_string(t % 2));
    const TexturedVertex& a = CubeVertices[3 * t];
    const TexturedVertex& b = CubeVertices[3 * t + 1];
    const TexturedVertex& c = CubeVertices[3 * t + 2];
    // On the face's plane.
    for (const TexturedVertex* v : {&a, &b, &c}) {
      EXPECT_FLOAT_EQ(1.0f, v->x * face.normal[0] + v->y * face.normal[1] + v->z * face.normal[2]);
    }
    // Clockwise seen from outside: in left-handed space (b - a) x (c - a)
    // points out of the cube.
    const float ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
    const float vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
    const float n[3] = {uy * vz - uz * vy, uz * vx - ux * vz, ux * vy - uy * vx};
    EXPECT_GT(n[0] * face.normal[0] + n[1] * face.normal[1] + n[2] * face.normal[2], 0.0f)
        << "wound counter-clockwise from outside: culled from the wrong side";
    // Not mirrored: the same triangle is clockwise in texture space too
    // (u right, v down, like the screen).
    const float uvCross = (b.u - a.u) * (c.v - a.v) - (b.v - a.v) * (c.u - a.u);
    EXPECT_GT(uvCross, 0.0f) << "the image is mirrored on this face";
  }
}

TEST(Cube, SideFacesShowTheWholeImageUpright) {
  for (int f = 0; f < 6; ++f) {
    const Face& face = kFaces[f];
    SCOPED_TRACE(face.name);
    float minU = 2, maxU = -1, minV = 2, maxV = -1;
    for (int i = 6 * f; i < 6 * f + 6; ++i) {
      const TexturedVertex& v = CubeVertices[i];
      minU = std::min(minU, v.u), maxU = std::max(maxU, v.u);
      minV = std::min(minV, v.v), maxV = std::max(maxV, v.v);
      if (face.normal[1] == 0.0f) {
        EXPECT_FLOAT_EQ((1.0f - v.y) / 2.0f, v.v) << "vertex " << i << ": v 0 on the top edge";
      }
    }
    EXPECT_EQ(0.0f, minU);
    EXPECT_EQ(1.0f, maxU);
    EXPECT_EQ(0.0f, minV);
    EXPECT_EQ(1.0f, maxV);
  }
}

TEST(Cube, ConstructionHoldsNoBuffer) {
  Cube cube;
  EXPECT_EQ(nullptr, cube.pVertexBuffer);
}

}  // namespace
