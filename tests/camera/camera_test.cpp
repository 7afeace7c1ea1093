// Tests of the first-person camera against a device double: the start state
// and the two transforms Init sends, one step per command, the bounds and
// float drift of long runs, and that every Update re-sends the view.
//
// Expected matrices are worked out here from the published D3DX formulas
// (LookAtLH, PerspectiveFovLH), never by calling D3DX again.
#include "camera/camera.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "input/keyboard.h"
#include "mocks/d3d9_mocks.h"

namespace {

using ::testing::_;
using ::testing::Invoke;
using ::testing::Return;
using ::testing::StrictMock;

struct SentTransform {
  D3DTRANSFORMSTATETYPE state;
  D3DMATRIX matrix;
};

// The published LookAtLH: z = normalize(at - eye), x = normalize(up x z),
// y = z x x; rows x, y, z as columns, translation -dot(axis, eye). Computed in
// double so that it stands apart from the library's float arithmetic.
D3DMATRIX ReferenceLookAtLH(double ex, double ey, double ez, double ax, double ay, double az) {
  double zx = ax - ex, zy = ay - ey, zz = az - ez;
  double zl = std::sqrt(zx * zx + zy * zy + zz * zz);
  zx /= zl, zy /= zl, zz /= zl;
  // up (0, 1, 0) x z
  double xx = zz, xy = 0.0, xz = -zx;
  double xl = std::sqrt(xx * xx + xy * xy + xz * xz);
  xx /= xl, xy /= xl, xz /= xl;
  // z x x
  double yx = zy * xz - zz * xy, yy = zz * xx - zx * xz, yz = zx * xy - zy * xx;
  D3DMATRIX m = {};
  m._11 = float(xx), m._12 = float(yx), m._13 = float(zx), m._14 = 0.0f;
  m._21 = float(xy), m._22 = float(yy), m._23 = float(zy), m._24 = 0.0f;
  m._31 = float(xz), m._32 = float(yz), m._33 = float(zz), m._34 = 0.0f;
  m._41 = float(-(xx * ex + xy * ey + xz * ez));
  m._42 = float(-(yx * ex + yy * ey + yz * ez));
  m._43 = float(-(zx * ex + zy * ey + zz * ez));
  m._44 = 1.0f;
  return m;
}

// Element-by-element comparison that names the element that differs.
::testing::AssertionResult MatricesNear(const D3DMATRIX& actual, const D3DMATRIX& expected,
                                        float tolerance) {
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) {
      if (!(std::fabs(actual.m[r][c] - expected.m[r][c]) <= tolerance)) {
        return ::testing::AssertionFailure()
               << "element _" << r + 1 << c + 1 << ": expected " << expected.m[r][c] << ", actual "
               << actual.m[r][c] << " (tolerance " << tolerance << ")";
      }
    }
  }
  return ::testing::AssertionSuccess();
}

D3DMATRIX ViewOf(const Camera& camera) {
  return ReferenceLookAtLH(camera.eyeX, camera.eyeY, camera.eyeZ, camera.lookAtX, camera.lookAtY,
                           camera.lookAtZ);
}

class CameraTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A strict double: the camera may call SetTransform and nothing else.
    EXPECT_CALL(device_, SetTransform(_, _))
        .WillRepeatedly(Invoke([this](D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
          sent_.push_back({state, *matrix});
          return S_OK;
        }));
  }

  void InitAt(int width, int height) { ASSERT_EQ(0, camera_.Init(&device_, width, height)); }

  // Runs `count` updates with the same command.
  void Repeat(int command, int count) {
    for (int i = 0; i < count; ++i) ASSERT_EQ(0, camera_.Update(command));
  }

  StrictMock<MockDevice> device_;
  std::vector<SentTransform> sent_;
  Camera camera_{};  // value-initialised: every field starts at zero, as the global does
};

TEST_F(CameraTest, InitSetsTheStartStateAndSendsViewThenProjection) {
  InitAt(800, 600);

  EXPECT_EQ(&device_, camera_.pDevice);
  EXPECT_FLOAT_EQ(55.0f, camera_.eyeX);
  EXPECT_FLOAT_EQ(1.0f, camera_.eyeY);
  EXPECT_FLOAT_EQ(0.0f, camera_.eyeZ);
  EXPECT_FLOAT_EQ(55.0f, camera_.lookAtX);
  EXPECT_FLOAT_EQ(0.6f, camera_.lookAtY);
  EXPECT_FLOAT_EQ(0.1f, camera_.lookAtZ);
  EXPECT_FLOAT_EQ(0.2f, camera_.speed);
  EXPECT_FLOAT_EQ(0.0f, camera_.yaw);
  EXPECT_FLOAT_EQ(0.1f, camera_.pitch);
  EXPECT_FLOAT_EQ(0.01f, camera_.turnStep);

  ASSERT_EQ(2u, sent_.size()) << "Init sends exactly the view and the projection";
  EXPECT_EQ(D3DTS_VIEW, sent_[0].state);
  EXPECT_EQ(D3DTS_PROJECTION, sent_[1].state);

  // View from (55, 1, 0) toward (55, 0.6, 0.1): the line of sight is
  // (0, -0.4, 0.1) / sqrt(0.17); the x axis stays (1, 0, 0).
  const float s = 0.1f / std::sqrt(0.17f);                   // 0.2425356
  const float c = 0.4f / std::sqrt(0.17f);                   // 0.9701425
  const D3DMATRIX expectedView = {{{1.0f, 0.0f, 0.0f, 0.0f,  //
                                    0.0f, s, -c, 0.0f,       //
                                    0.0f, c, s, 0.0f,        //
                                    -55.0f, -s, c, 1.0f}}};
  EXPECT_TRUE(MatricesNear(sent_[0].matrix, expectedView, 1e-5f));
  EXPECT_TRUE(MatricesNear(camera_.matView, expectedView, 1e-5f)) << "matView keeps the sent view";

  // Projection: fov pi/4, aspect 800/600, near 1, far 100.
  const D3DMATRIX& proj = sent_[1].matrix;
  const float yScale = 2.4142137f;  // cot(pi/8)
  EXPECT_NEAR(yScale / 1.3333334f, proj._11, 1e-5f);
  EXPECT_NEAR(yScale, proj._22, 1e-5f);
  EXPECT_NEAR(100.0f / 99.0f, proj._33, 1e-6f);
  EXPECT_FLOAT_EQ(1.0f, proj._34);
  EXPECT_NEAR(-100.0f / 99.0f, proj._43, 1e-6f);
  EXPECT_FLOAT_EQ(0.0f, proj._44);
  for (const auto& rc : std::vector<std::pair<int, int>>{
           {0, 1}, {0, 2}, {0, 3}, {1, 0}, {1, 2}, {1, 3}, {2, 0}, {2, 1}, {3, 0}, {3, 1}}) {
    EXPECT_EQ(0.0f, proj.m[rc.first][rc.second])
        << "projection element _" << rc.first + 1 << rc.second + 1;
  }
  EXPECT_TRUE(MatricesNear(camera_.matProj, proj, 0.0f)) << "matProj keeps the sent projection";
}

TEST_F(CameraTest, ProjectionAspectIsTheFloatQuotientOfTheBackBufferSize) {
  const struct {
    int width, height;
    float aspect;
  } cases[] = {
      {800, 600, 1.3333334f},   // integer division would give 1
      {1720, 880, 1.9545455f},  // a desktop minus the 200-pixel margins
      {600, 800, 0.75f},        // integer division would give 0
      {1, 1, 1.0f},
  };
  for (const auto& tc : cases) {
    SCOPED_TRACE(std::to_string(tc.width) + "x" + std::to_string(tc.height));
    sent_.clear();
    InitAt(tc.width, tc.height);
    ASSERT_EQ(2u, sent_.size());
    const D3DMATRIX& proj = sent_[1].matrix;
    EXPECT_NEAR(2.4142137f / tc.aspect, proj._11, 1e-5f);
    EXPECT_NEAR(2.4142137f, proj._22, 1e-5f) << "the field of view is vertical and fixed";
  }
}

TEST_F(CameraTest, FirstUpdateOfAnyCommandReplacesTheInitialLookAt) {
  // The look-at Init stores points steeply down; the first update, CMD_NONE
  // included, turns it into eye + look direction.
  InitAt(800, 600);
  ASSERT_EQ(0, camera_.Update(CMD_NONE));
  EXPECT_FLOAT_EQ(55.0f, camera_.eyeX);
  EXPECT_FLOAT_EQ(1.0f, camera_.eyeY);
  EXPECT_FLOAT_EQ(0.0f, camera_.eyeZ);
  EXPECT_NEAR(55.0f, camera_.lookAtX, 1e-5f);
  EXPECT_NEAR(1.09983f, camera_.lookAtY, 1e-5f);
  EXPECT_NEAR(0.99500f, camera_.lookAtZ, 1e-5f);

  // Whatever the command, afterwards look-at - eye is the unit look direction.
  for (int command = -1; command <= 9; ++command) {
    SCOPED_TRACE("command " + std::to_string(command));
    Camera fresh{};
    ASSERT_EQ(0, fresh.Init(&device_, 800, 600));
    ASSERT_EQ(0, fresh.Update(command));
    EXPECT_NEAR(std::cos(fresh.pitch) * std::sin(fresh.yaw), fresh.lookAtX - fresh.eyeX, 1e-5f);
    EXPECT_NEAR(std::sin(fresh.pitch), fresh.lookAtY - fresh.eyeY, 1e-5f);
    EXPECT_NEAR(std::cos(fresh.pitch) * std::cos(fresh.yaw), fresh.lookAtZ - fresh.eyeZ, 1e-5f);
  }
}

// Sent once per Update: the view, rebuilt from the eye and look-at after the
// step, and never the projection.
void ExpectOneViewSent(const std::vector<SentTransform>& sent, const Camera& camera) {
  ASSERT_EQ(1u, sent.size()) << "one SetTransform per Update";
  EXPECT_EQ(D3DTS_VIEW, sent[0].state);
  EXPECT_TRUE(MatricesNear(sent[0].matrix, ViewOf(camera), 1e-4f))
      << "the view is rebuilt from the eye and look-at after the step";
  EXPECT_TRUE(MatricesNear(camera.matView, sent[0].matrix, 0.0f));
}

TEST_F(CameraTest, EveryStepSendsTheViewOnceAndNeverTheProjection) {
  InitAt(800, 600);
  for (int command = 1; command <= 8; ++command) {
    SCOPED_TRACE("command " + std::to_string(command));
    sent_.clear();
    ASSERT_EQ(0, camera_.Update(command));
    ExpectOneViewSent(sent_, camera_);
  }
}

TEST_F(CameraTest, CommandsOutsideOneToEightMakeNoStepButStillSendTheView) {
  InitAt(800, 600);
  Repeat(CMD_FORWARD, 3);
  Repeat(CMD_TURN_RIGHT, 5);
  const Camera before = camera_;
  for (int command : {0, 9, -1, 100, 1000, INT_MIN}) {
    SCOPED_TRACE("command " + std::to_string(command));
    sent_.clear();
    ASSERT_EQ(0, camera_.Update(command));
    ExpectOneViewSent(sent_, camera_);
    EXPECT_EQ(before.eyeX, camera_.eyeX);
    EXPECT_EQ(before.eyeY, camera_.eyeY);
    EXPECT_EQ(before.eyeZ, camera_.eyeZ);
    EXPECT_EQ(before.yaw, camera_.yaw);
    EXPECT_EQ(before.pitch, camera_.pitch);
    EXPECT_EQ(before.speed, camera_.speed);
    EXPECT_EQ(before.turnStep, camera_.turnStep);
    EXPECT_EQ(before.lookAtX, camera_.lookAtX);
    EXPECT_EQ(before.lookAtY, camera_.lookAtY);
    EXPECT_EQ(before.lookAtZ, camera_.lookAtZ);
  }
}

TEST_F(CameraTest, EachCommandStepsInItsOwnDirection) {
  const struct {
    int command;
    float eyeX, eyeY, eyeZ, yaw, pitch;
  } cases[] = {
      {CMD_FORWARD, 55.0f, 1.0f, 0.2f, 0.0f, 0.1f},
      {CMD_BACK, 55.0f, 1.0f, -0.2f, 0.0f, 0.1f},
      {CMD_TURN_LEFT, 55.0f, 1.0f, 0.0f, -0.01f, 0.1f},
      {CMD_TURN_RIGHT, 55.0f, 1.0f, 0.0f, 0.01f, 0.1f},
      {CMD_LOOK_UP, 55.0f, 1.0f, 0.0f, 0.0f, 0.11f},
      {CMD_LOOK_DOWN, 55.0f, 1.0f, 0.0f, 0.0f, 0.09f},
      {CMD_RISE, 55.0f, 1.1f, 0.0f, 0.0f, 0.1f},
      {CMD_SINK, 55.0f, 0.9f, 0.0f, 0.0f, 0.1f},
  };
  for (const auto& tc : cases) {
    SCOPED_TRACE("command " + std::to_string(tc.command));
    camera_ = Camera{};
    InitAt(800, 600);
    ASSERT_EQ(0, camera_.Update(tc.command));
    EXPECT_FLOAT_EQ(tc.eyeX, camera_.eyeX);
    EXPECT_FLOAT_EQ(tc.eyeY, camera_.eyeY);
    EXPECT_FLOAT_EQ(tc.eyeZ, camera_.eyeZ);
    EXPECT_FLOAT_EQ(tc.yaw, camera_.yaw);
    EXPECT_FLOAT_EQ(tc.pitch, camera_.pitch);
  }

  // Forward from the start also carries the look-at along.
  camera_ = Camera{};
  InitAt(800, 600);
  ASSERT_EQ(0, camera_.Update(CMD_FORWARD));
  EXPECT_NEAR(55.0f, camera_.lookAtX, 1e-5f);
  EXPECT_NEAR(1.09983f, camera_.lookAtY, 1e-5f);
  EXPECT_NEAR(1.19500f, camera_.lookAtZ, 1e-5f);
}

TEST_F(CameraTest, MovementFollowsTheHeadingAndIgnoresThePitch) {
  InitAt(800, 600);
  // A quarter turn to the right (157 steps, yaw about 1.57) faces +x.
  Repeat(CMD_TURN_RIGHT, 157);
  Repeat(CMD_LOOK_UP, 40);
  const float yaw = camera_.yaw;
  ASSERT_NEAR(1.57f, yaw, 1e-4f);
  ASSERT_EQ(0, camera_.Update(CMD_FORWARD));
  EXPECT_NEAR(55.0f + 0.2f * std::sin(yaw), camera_.eyeX, 1e-5f);
  EXPECT_NEAR(0.2f * std::cos(yaw), camera_.eyeZ, 1e-5f);
  EXPECT_FLOAT_EQ(1.0f, camera_.eyeY) << "forward never climbs, whatever the pitch";
  ASSERT_EQ(0, camera_.Update(CMD_BACK));
  EXPECT_NEAR(55.0f, camera_.eyeX, 1e-5f);
  EXPECT_NEAR(0.0f, camera_.eyeZ, 1e-5f);
  EXPECT_FLOAT_EQ(1.0f, camera_.eyeY);

  // Turning left from the start heads toward -x.
  camera_ = Camera{};
  InitAt(800, 600);
  Repeat(CMD_TURN_LEFT, 10);
  ASSERT_EQ(0, camera_.Update(CMD_FORWARD));
  EXPECT_LT(camera_.eyeX, 55.0f);
  EXPECT_NEAR(55.0f + 0.2f * std::sin(-0.1f), camera_.eyeX, 1e-5f);
  EXPECT_GT(camera_.lookAtX, 0.0f);
  EXPECT_LT(camera_.lookAtX, camera_.eyeX) << "the look-at turns with the heading";
}

TEST_F(CameraTest, FiftyForwardStepsEndJustShortOfTen) {
  InitAt(800, 600);
  Repeat(CMD_FORWARD, 50);
  // Float accumulation of 0.2: the row-recycling test in the frame depends on this.
  EXPECT_EQ(9.9999952f, camera_.eyeZ);
  EXPECT_LT(camera_.eyeZ, 10.0f);
  EXPECT_EQ(55.0f, camera_.eyeX);
}

TEST_F(CameraTest, PitchStopsJustPastTheVerticalBothWays) {
  InitAt(800, 600);
  Repeat(CMD_LOOK_UP, 148);
  EXPECT_FLOAT_EQ(1.5799989f, camera_.pitch);
  const float top = camera_.pitch;
  Repeat(CMD_LOOK_UP, 20);
  EXPECT_EQ(top, camera_.pitch) << "no step once the pitch is at or past 1.57";

  // Just past the vertical the line of sight leans back over the viewer, and
  // the view built with up (0, 1, 0) is turned half round: world +x maps to
  // the view's -x.
  EXPECT_LT(camera_.lookAtZ, camera_.eyeZ);
  ASSERT_FALSE(sent_.empty());
  EXPECT_NEAR(-1.0f, sent_.back().matrix._11, 1e-4f);

  Repeat(CMD_LOOK_DOWN, 316);
  EXPECT_FLOAT_EQ(-1.5799987f, camera_.pitch);
  const float bottom = camera_.pitch;
  Repeat(CMD_LOOK_DOWN, 20);
  EXPECT_EQ(bottom, camera_.pitch);
  // One step up leaves the bottom bound again.
  ASSERT_EQ(0, camera_.Update(CMD_LOOK_UP));
  EXPECT_NEAR(bottom + 0.01f, camera_.pitch, 1e-6f);
}

TEST_F(CameraTest, YawIsNotWrapped) {
  InitAt(800, 600);
  Repeat(CMD_TURN_RIGHT, 700);
  EXPECT_NEAR(7.00007f, camera_.yaw, 1e-5f);
  EXPECT_GT(camera_.yaw, 6.2831855f);
  ASSERT_EQ(0, camera_.Update(CMD_FORWARD));
  EXPECT_NEAR(55.0f + 0.2f * std::sin(7.00007f), camera_.eyeX, 1e-5f);
  EXPECT_NEAR(0.2f * std::cos(7.00007f), camera_.eyeZ, 1e-5f);

  camera_ = Camera{};
  InitAt(800, 600);
  Repeat(CMD_TURN_LEFT, 700);
  EXPECT_NEAR(-7.00007f, camera_.yaw, 1e-5f);
}

TEST_F(CameraTest, EyeSinksThroughTheFloorWithoutLimit) {
  InitAt(800, 600);
  Repeat(CMD_SINK, 10);
  EXPECT_NEAR(-7.5e-08f, camera_.eyeY, 0.1e-08f);
  EXPECT_NE(0.0f, camera_.eyeY);
  Repeat(CMD_SINK, 20);
  EXPECT_NEAR(-2.0f, camera_.eyeY, 1e-5f);
  Repeat(CMD_RISE, 40);
  EXPECT_NEAR(2.0f, camera_.eyeY, 1e-5f) << "and rises without limit";
}

}  // namespace
