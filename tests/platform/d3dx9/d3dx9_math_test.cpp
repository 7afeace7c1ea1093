// Tests for the D3DX matrix helpers: values against the row-vector formulas
// worked by hand, and what the matrices do to points (the property the
// renderer relies on).
#include <d3dx9.h>

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kTolerance = 1e-5f;

void ExpectMatrixNear(const D3DXMATRIX& expected, const D3DXMATRIX& actual) {
  for (UINT r = 0; r < 4; ++r)
    for (UINT c = 0; c < 4; ++c)
      EXPECT_NEAR(expected(r, c), actual(r, c), kTolerance) << "element _" << r + 1 << c + 1;
}

// Row vector (x, y, z, 1) times M.
void Transform(const D3DXMATRIX& m, float x, float y, float z, float out[4]) {
  for (UINT c = 0; c < 4; ++c) out[c] = x * m(0, c) + y * m(1, c) + z * m(2, c) + m(3, c);
}

TEST(D3DXMatrix, LookAtLHMatchesHandComputedCameraLookingDownAndForward) {
  const D3DXVECTOR3 eye(55.0f, 1.0f, 0.0f), at(55.0f, 0.6f, 0.1f), up(0.0f, 1.0f, 0.0f);
  D3DXMATRIX view;
  ASSERT_EQ(&view, D3DXMatrixLookAtLH(&view, &eye, &at, &up));

  // z = normalize(0, -0.4, 0.1) = (0, -0.9701425, 0.2425356); x = (1, 0, 0);
  // y = z cross x = (0, 0.2425356, 0.9701425).
  const float s = 0.24253562f, c = 0.97014250f;
  const D3DXMATRIX expected(1.0f, 0.0f, 0.0f, 0.0f, 0.0f, s, -c, 0.0f, 0.0f, c, s, 0.0f, -55.0f, -s,
                            c, 1.0f);
  ExpectMatrixNear(expected, view);
}

TEST(D3DXMatrix, LookAtLHPutsTargetOnPositiveZAndEyeAtOrigin) {
  const D3DXVECTOR3 eye(3.0f, 4.0f, -7.0f), at(-2.0f, 1.0f, 5.0f), up(0.0f, 1.0f, 0.0f);
  D3DXMATRIX view;
  D3DXMatrixLookAtLH(&view, &eye, &at, &up);

  float p[4];
  Transform(view, eye.x, eye.y, eye.z, p);
  EXPECT_NEAR(0.0f, p[0], kTolerance);
  EXPECT_NEAR(0.0f, p[1], kTolerance);
  EXPECT_NEAR(0.0f, p[2], kTolerance);

  Transform(view, at.x, at.y, at.z, p);
  const float distance = std::sqrt(25.0f + 9.0f + 144.0f);
  EXPECT_NEAR(0.0f, p[0], 1e-4f);
  EXPECT_NEAR(0.0f, p[1], 1e-4f);
  EXPECT_NEAR(distance, p[2], 1e-4f);

  // Left-handed: a point to the right of the view direction (+x world, when
  // looking along roughly +z) lands on +x in view space; up stays up.
  const D3DXVECTOR3 eye2(0, 0, 0), at2(0, 0, 1);
  D3DXMatrixLookAtLH(&view, &eye2, &at2, &up);
  Transform(view, 1.0f, 2.0f, 0.0f, p);
  EXPECT_NEAR(1.0f, p[0], kTolerance);
  EXPECT_NEAR(2.0f, p[1], kTolerance);
}

TEST(D3DXMatrix, PerspectiveFovLHMatchesHandComputedValues) {
  const float aspect = 824.0f / 568.0f;
  D3DXMATRIX proj;
  ASSERT_EQ(&proj, D3DXMatrixPerspectiveFovLH(&proj, 0.7853982f, aspect, 1.0f, 100.0f));

  // yScale = cot(pi/8) = 2.4142134, xScale = yScale / 1.4507042 = 1.6641665,
  // zf/(zf-zn) = 100/99, -zn*zf/(zf-zn) = -100/99.
  const D3DXMATRIX expected(1.6641665f, 0.0f, 0.0f, 0.0f, 0.0f, 2.4142134f, 0.0f, 0.0f, 0.0f, 0.0f,
                            1.0101010f, 1.0f, 0.0f, 0.0f, -1.0101010f, 0.0f);
  ExpectMatrixNear(expected, proj);
}

TEST(D3DXMatrix, PerspectiveFovLHMapsNearPlaneToDepthZeroAndFarPlaneToOne) {
  D3DXMATRIX proj;
  D3DXMatrixPerspectiveFovLH(&proj, 1.2f, 1.5f, 0.5f, 250.0f);
  float p[4];
  Transform(proj, 0.0f, 0.0f, 0.5f, p);
  EXPECT_NEAR(0.0f, p[2] / p[3], kTolerance);
  Transform(proj, 0.0f, 0.0f, 250.0f, p);
  EXPECT_NEAR(1.0f, p[2] / p[3], kTolerance);

  // A point on the top edge of the view frustum lands at y/w = 1.
  const float z = 10.0f;
  Transform(proj, 0.0f, z * std::tan(0.6f), z, p);
  EXPECT_NEAR(1.0f, p[1] / p[3], kTolerance);
}

TEST(D3DXMatrix, TranslationMovesPointsAndLeavesTheRestIdentity) {
  D3DXMATRIX m;
  ASSERT_EQ(&m, D3DXMatrixTranslation(&m, 2.5f, -3.0f, 40.0f));
  const D3DXMATRIX expected(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 2.5f, -3.0f, 40.0f, 1);
  ExpectMatrixNear(expected, m);

  float p[4];
  Transform(m, 1.0f, 1.0f, 1.0f, p);
  EXPECT_FLOAT_EQ(3.5f, p[0]);
  EXPECT_FLOAT_EQ(-2.0f, p[1]);
  EXPECT_FLOAT_EQ(41.0f, p[2]);
  EXPECT_FLOAT_EQ(1.0f, p[3]);
}

}  // namespace
