// The world against a device double: the start-up grid, the frame's timing,
// recycling and placement, and a failing BeginScene.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "app/app.h"
#include "mocks/d3d9_mocks.h"
#include "platform_hooks.h"
#include "world/world.h"

using ::testing::_;
using ::testing::AnyNumber;
using ::testing::NiceMock;
using ::testing::Return;

namespace {

const DWORD kStart = 1000;

class WorldTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetWorld();
    platform::UseManualClock(kStart);
    // The test runs where no image exists: every texture load fails quietly
    // but the sky faces', whose boxes are swallowed here.
    platform::SetMessageBoxHook([](HWND, const char*, const char*, UINT) { return IDOK; });
    ON_CALL(device, CreateVertexBuffer(_, _, _, _, _, _))
        .WillByDefault([this](UINT, DWORD, DWORD, D3DPOOL, IDirect3DVertexBuffer9** out, HANDLE*) {
          *out = &buffer;
          return D3D_OK;
        });
    ON_CALL(buffer, Lock(_, _, _, _)).WillByDefault([this](UINT, UINT size, void** data, DWORD) {
      scratch.assign(size, 0);
      *data = scratch.data();
      return D3D_OK;
    });
    g_pd3dDevice = &device;
    g_screenWidth = 824;
    g_screenHeight = 568;
  }

  void TearDown() override {
    // The meshes must not release the doubles at process exit.
    for (FloorStrip& strip : g_floorStrips) strip.pVertexBuffer = NULL, strip.pTexture = NULL;
    g_pyramid.pVertexBuffer = NULL;
    g_cube.pVertexBuffer = NULL;
    for (IDirect3DTexture9*& texture : g_textures.objectTextures) texture = NULL;
    g_pd3dDevice = NULL;
    g_keyboard.command = CMD_NONE;
    ResetWorld();
    platform::ResetHooks();
  }

  static void ResetWorld() {
    memset(g_grid, 0, sizeof(g_grid));
    g_firstRow = 0;
    g_fieldOffset = 0.0f;
    g_rowRecycled = 0;
    g_lastRecycleZ = 0.0f;
    g_timeNow = 0;
    g_lastCameraUpdate = 0;
    CrtSrand(1);
  }

  // One frame, 3 ms after the previous one, with the eye put at z.
  void FrameAt(float eyeZ) {
    g_camera.eyeZ = eyeZ;
    platform::AdvanceManualClock(3);
    RenderFrame();
  }

  std::vector<int> Row(int row) {
    std::vector<int> codes;
    for (int c = 0; c < GRID_COLUMNS; ++c) codes.push_back(g_grid[c][row]);
    return codes;
  }

  NiceMock<MockDevice> device;
  NiceMock<MockVertexBuffer> buffer;
  std::vector<unsigned char> scratch;
};

TEST_F(WorldTest, RandomSourceIsTheRuntimesGenerator) {
  EXPECT_EQ(41, CrtRand());
  EXPECT_EQ(18467, CrtRand());
  EXPECT_EQ(6334, CrtRand());
}

TEST_F(WorldTest, StartUpGridAndFirstRefillFollowTheGenerator) {
  SetupScene();
  EXPECT_THAT(Row(0), ::testing::ElementsAre(1, 7, 14, 0, 9, 4, 18, 18, 2, 4));
  for (int r = 0; r < GRID_ROWS; ++r)
    for (int c = 0; c < GRID_COLUMNS; ++c) ASSERT_LT(g_grid[c][r], 20);

  FrameAt(10.0f);
  EXPECT_EQ(1, g_firstRow);
  EXPECT_FLOAT_EQ(10.0f, g_fieldOffset);
  EXPECT_THAT(Row(0), ::testing::ElementsAre(11, 5, 14, 22, 0, 9, 17, 3, 27, 12));
}

TEST_F(WorldTest, CameraStepsOnlyWhenMoreThanTwoMillisecondsHavePassed) {
  SetupScene();
  g_keyboard.command = CMD_FORWARD;
  EXPECT_EQ(kStart, g_lastCameraUpdate);

  platform::AdvanceManualClock(2);
  RenderFrame();
  EXPECT_FLOAT_EQ(0.0f, g_camera.eyeZ) << "2 ms: no step";
  EXPECT_EQ(kStart + 2, g_timeNow);

  platform::AdvanceManualClock(1);
  RenderFrame();
  EXPECT_FLOAT_EQ(0.2f, g_camera.eyeZ) << "3 ms: one step";
  EXPECT_EQ(kStart + 3, g_lastCameraUpdate);

  platform::AdvanceManualClock(1000);
  RenderFrame();
  EXPECT_FLOAT_EQ(0.4f, g_camera.eyeZ) << "one step per frame however long it took";
}

TEST_F(WorldTest, CameraTimingSurvivesTheTimerWrap) {
  platform::UseManualClock(0xFFFFFFFEu);
  SetupScene();
  g_keyboard.command = CMD_NONE;
  platform::AdvanceManualClock(3);  // now 1
  EXPECT_CALL(device, SetTransform(D3DTS_WORLD, _)).Times(AnyNumber());
  EXPECT_CALL(device, SetTransform(D3DTS_VIEW, _)).Times(1);
  RenderFrame();
  EXPECT_EQ(1u, g_lastCameraUpdate) << "a command of 0 still updates the camera";
}

TEST_F(WorldTest, FailingBeginSceneSkipsTheFrameButStillPresents) {
  SetupScene();
  g_keyboard.command = CMD_FORWARD;
  g_camera.eyeZ = 10.0f;
  EXPECT_CALL(device, BeginScene()).WillOnce(Return(D3DERR_INVALIDCALL));
  EXPECT_CALL(device, Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFFCCCCFFu, 1.0f, 0u));
  EXPECT_CALL(device, SetTransform(_, _)).Times(0);
  EXPECT_CALL(device, DrawPrimitive(_, _, _)).Times(0);
  EXPECT_CALL(device, EndScene());
  EXPECT_CALL(device, Present(nullptr, nullptr, nullptr, nullptr));
  platform::AdvanceManualClock(50);
  RenderFrame();
  EXPECT_EQ(kStart, g_timeNow);
  EXPECT_EQ(kStart, g_lastCameraUpdate);
  EXPECT_FLOAT_EQ(10.0f, g_camera.eyeZ);
  EXPECT_EQ(0, g_firstRow) << "no recycle";
}

TEST_F(WorldTest, EveryFramePlacesElevenStripsAndHundredTenCells) {
  SetupScene();
  // Codes 0..29 across the grid: only 3..9 draw.
  for (int r = 0; r < GRID_ROWS; ++r)
    for (int c = 0; c < GRID_COLUMNS; ++c) g_grid[c][r] = (r * GRID_COLUMNS + c) % 30;
  NiceMock<MockTexture> textures[6];
  for (int i = 0; i < 6; ++i) g_textures.objectTextures[i] = &textures[i];
  g_fieldOffset = 20.0f;
  g_firstRow = 2;

  std::vector<D3DMATRIX> worlds;
  std::vector<D3DPRIMITIVETYPE> draws;
  std::vector<IDirect3DBaseTexture9*> cubeTextures;
  IDirect3DBaseTexture9* bound = nullptr;
  ON_CALL(device, SetTransform(D3DTS_WORLD, _))
      .WillByDefault([&](D3DTRANSFORMSTATETYPE, const D3DMATRIX* m) {
        worlds.push_back(*m);
        return D3D_OK;
      });
  ON_CALL(device, SetTexture(0, _)).WillByDefault([&](DWORD, IDirect3DBaseTexture9* t) {
    bound = t;
    return D3D_OK;
  });
  ON_CALL(device, DrawPrimitive(_, _, _)).WillByDefault([&](D3DPRIMITIVETYPE type, UINT, UINT) {
    draws.push_back(type);
    if (type == D3DPT_TRIANGLELIST) cubeTextures.push_back(bound);
    return D3D_OK;
  });
  g_camera.eyeZ = 25.5f;  // no recycle: the row was recycled at 20
  g_rowRecycled = 1;
  g_lastRecycleZ = 25.0f;
  platform::AdvanceManualClock(3);
  RenderFrame();

  ASSERT_EQ(121u, worlds.size());
  size_t n = 0, d = 0, cube = 0;
  for (int i = 0; i < GRID_ROWS; ++i) {
    float z = i * 10.0f + 20.0f;
    EXPECT_EQ(0.0f, worlds[n].m[3][0]);
    EXPECT_EQ(z, worlds[n].m[3][2]);
    ++n;
    ASSERT_EQ(D3DPT_TRIANGLESTRIP, draws[d++]) << "strip " << i;
    int row = (2 + i) % GRID_ROWS;
    for (int c = 0; c < GRID_COLUMNS; ++c, ++n) {
      EXPECT_EQ(c * 10.0f, worlds[n].m[3][0]);
      EXPECT_EQ(0.0f, worlds[n].m[3][1]);
      EXPECT_EQ(z, worlds[n].m[3][2]);
      EXPECT_EQ(1.0f, worlds[n].m[0][0]);
      EXPECT_EQ(1.0f, worlds[n].m[3][3]);
      int code = g_grid[c][row];
      if (code == 3) {
        EXPECT_EQ(D3DPT_TRIANGLEFAN, draws[d++]);
      } else if (code >= 4 && code <= 9) {
        EXPECT_EQ(D3DPT_TRIANGLELIST, draws[d++]);
        EXPECT_EQ(static_cast<IDirect3DBaseTexture9*>(&textures[code - 4]), cubeTextures[cube++]);
      }
    }
  }
  EXPECT_EQ(draws.size(), d) << "nothing drawn for empty codes";
}

TEST_F(WorldTest, StraightRunRecyclesOncePerStripAndComesRound) {
  SetupScene();
  g_keyboard.command = CMD_FORWARD;
  int recycles = 0;
  int lastFirstRow = g_firstRow;
  for (int frame = 0; frame < 600 && recycles < 11; ++frame) {
    platform::AdvanceManualClock(3);
    RenderFrame();
    if (g_firstRow != lastFirstRow) {
      ++recycles;
      lastFirstRow = g_firstRow;
      float z = g_camera.eyeZ;
      EXPECT_GE(z, 10.0f * recycles) << "recycle " << recycles;
      EXPECT_LT(z, 10.0f * recycles + 1.0f) << "recycle " << recycles;
      EXPECT_EQ(z, g_lastRecycleZ);
    }
  }
  EXPECT_EQ(11, recycles);
  EXPECT_EQ(0, g_firstRow);
  EXPECT_FLOAT_EQ(110.0f, g_fieldOffset);
}

TEST_F(WorldTest, RecyclingRearmsOnlyWhenTheEyeHasMovedOn) {
  SetupScene();
  FrameAt(0.0f);
  EXPECT_EQ(0, g_firstRow) << "z 0 truncates to a multiple of 10 but lies below 1";
  FrameAt(9.999f);
  EXPECT_EQ(0, g_firstRow);
  FrameAt(10.0f);
  EXPECT_EQ(1, g_firstRow);
  FrameAt(10.9f);
  EXPECT_EQ(1, g_firstRow) << "same window";
  EXPECT_EQ(1, g_rowRecycled);
  FrameAt(11.5f);
  EXPECT_EQ(0, g_rowRecycled) << "re-armed past sqrt(2)";
  FrameAt(20.3f);
  EXPECT_EQ(2, g_firstRow);
  EXPECT_FLOAT_EQ(20.0f, g_fieldOffset);
}

TEST_F(WorldTest, SteppingBackAndForthAcrossAStripEdgeDoesNotPushTheFieldAhead) {
  SetupScene();
  FrameAt(10.0f);
  ASSERT_EQ(1, g_firstRow);
  std::vector<int> row1 = Row(1);
  FrameAt(8.5f);
  EXPECT_EQ(0, g_rowRecycled) << "walking back re-arms";
  FrameAt(10.0f);
  EXPECT_EQ(1, g_firstRow) << "the eye has not left the nearest strip behind";
  EXPECT_FLOAT_EQ(10.0f, g_fieldOffset);
  EXPECT_EQ(row1, Row(1)) << "no row refilled";
  FrameAt(20.0f);
  EXPECT_EQ(2, g_firstRow) << "the next strip still recycles";
}

TEST_F(WorldTest, NegativeEyePositionsNeverRecycle) {
  SetupScene();
  for (float z : {-10.0f, -20.5f, -0.5f, 1.0f}) FrameAt(z);
  EXPECT_EQ(0, g_firstRow);
  EXPECT_FLOAT_EQ(0.0f, g_fieldOffset);
}

}  // namespace
