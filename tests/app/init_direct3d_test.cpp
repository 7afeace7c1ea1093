// The Direct3D start-up against doubles: the device it asks for, the render
// states of the run, and one message box for the step that fails.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "start_up_doubles.h"

using ::testing::_;
using ::testing::InSequence;
using ::testing::Return;

namespace {

class InitDirect3DTest : public ::testing::Test {
 protected:
  void SetUp() override {
    doubles.Install();
    platform::SetMessageBoxHook(
        [this](HWND owner, const char* text, const char* caption, UINT type) {
          EXPECT_EQ(nullptr, owner);
          EXPECT_EQ(nullptr, caption) << "the system's default caption is wanted";
          EXPECT_EQ(MB_OK, type);
          boxes.push_back(text);
          return IDOK;
        });
    g_hWnd = reinterpret_cast<HWND>(0x77);
    g_screenWidth = 824;
    g_screenHeight = 568;
  }
  void TearDown() override {
    ForgetStartUpGlobals();
    g_hWnd = NULL;
    platform::ResetHooks();
  }

  StartUpDoubles doubles;
  std::vector<std::string> boxes;
};

TEST_F(InitDirect3DTest, CreatesTheWindowedDeviceAndSetsTheRunsRenderStates) {
  doubles.desktopFormat = D3DFMT_R5G6B5;
  D3DPRESENT_PARAMETERS pp = {};
  {
    InSequence order;
    EXPECT_CALL(doubles.d3d, GetAdapterDisplayMode(D3DADAPTER_DEFAULT, _));
    EXPECT_CALL(doubles.d3d,
                CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_R5G6B5,
                                  D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, D3DFMT_D16));
    EXPECT_CALL(doubles.d3d, GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, _));
    EXPECT_CALL(doubles.d3d, CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, g_hWnd,
                                          D3DCREATE_HARDWARE_VERTEXPROCESSING, _, _))
        .WillOnce([this, &pp](UINT, D3DDEVTYPE, HWND, DWORD, D3DPRESENT_PARAMETERS* p,
                              IDirect3DDevice9** out) {
          pp = *p;
          *out = &doubles.device;
          return D3D_OK;
        });
  }
  {
    InSequence order;
    EXPECT_CALL(doubles.device, SetRenderState(D3DRS_LIGHTING, FALSE));
    EXPECT_CALL(doubles.device, SetRenderState(D3DRS_FOGENABLE, TRUE));
    EXPECT_CALL(doubles.device, SetRenderState(D3DRS_FOGCOLOR, 0xFFCCCCFFu));
    EXPECT_CALL(doubles.device, SetRenderState(D3DRS_FOGTABLEMODE, D3DFOG_LINEAR));
    EXPECT_CALL(doubles.device, SetRenderState(D3DRS_FOGSTART, 0x41C80000u));
    EXPECT_CALL(doubles.device, SetRenderState(D3DRS_FOGEND, 0x428C0000u));
    EXPECT_CALL(doubles.device, SetRenderState(D3DRS_RANGEFOGENABLE, TRUE));
  }
  EXPECT_CALL(doubles.device, SetRenderState(D3DRS_FILLMODE, _)).Times(0);
  EXPECT_CALL(doubles.keyboard, Acquire()).Times(0);

  EXPECT_EQ(0, InitDirect3D(NULL));
  EXPECT_EQ(&doubles.device, g_pd3dDevice);

  EXPECT_TRUE(boxes.empty()) << boxes.front();
  EXPECT_EQ(824u, pp.BackBufferWidth);
  EXPECT_EQ(568u, pp.BackBufferHeight);
  EXPECT_EQ(D3DFMT_R5G6B5, pp.BackBufferFormat);
  EXPECT_EQ(0u, pp.BackBufferCount);
  EXPECT_EQ(D3DMULTISAMPLE_NONE, pp.MultiSampleType);
  EXPECT_EQ(D3DSWAPEFFECT_DISCARD, pp.SwapEffect);
  EXPECT_EQ(nullptr, pp.hDeviceWindow);
  EXPECT_EQ(TRUE, pp.Windowed);
  EXPECT_EQ(TRUE, pp.EnableAutoDepthStencil);
  EXPECT_EQ(D3DFMT_D16, pp.AutoDepthStencilFormat);
  EXPECT_EQ(0u, pp.Flags);
  EXPECT_EQ(0u, pp.FullScreen_RefreshRateInHz);
  EXPECT_EQ(D3DPRESENT_INTERVAL_IMMEDIATE, pp.PresentationInterval);
}

TEST_F(InitDirect3DTest, VertexProcessingFollowsTheCaps) {
  for (DWORD caps : {0u, 1u, 0x80000000u}) {
    DWORD expected =
        caps ? D3DCREATE_HARDWARE_VERTEXPROCESSING : D3DCREATE_SOFTWARE_VERTEXPROCESSING;
    doubles.vertexProcessingCaps = caps;
    EXPECT_CALL(doubles.d3d, CreateDevice(_, _, _, expected, _, _));
    EXPECT_EQ(0, InitDirect3D(NULL)) << "caps " << caps;
    ::testing::Mock::VerifyAndClearExpectations(&doubles.d3d);
    ForgetStartUpGlobals();
  }
}

TEST_F(InitDirect3DTest, OnlyNotAvailableFromTheDepthCheckStopsTheStartUp) {
  for (HRESULT hr : {D3DERR_INVALIDCALL, E_FAIL, D3DERR_NOTFOUND, S_FALSE}) {
    doubles.depthCheckResult = hr;
    EXPECT_EQ(0, InitDirect3D(NULL)) << std::hex << hr;
    ForgetStartUpGlobals();
  }
  EXPECT_TRUE(boxes.empty());
}

TEST_F(InitDirect3DTest, EachFailingStepShowsItsMessageOnceAndReturnsItsNumber) {
  const char* texts[] = {"Direct3DCreate9() - Fehler:1",   "GetAdapterDisplayMode() - Fehler:2",
                         "CheckDeviceFormat() - Fehler:3", "GetDeviceCaps() - Fehler:4",
                         "CreateDevice() - Fehler:5",      "DirectInput - Fehler:6"};
  for (int step = 1; step <= 6; ++step) {
    doubles.failAt = step;
    boxes.clear();
    EXPECT_EQ(step, InitDirect3D(NULL));
    ASSERT_EQ(1u, boxes.size()) << "step " << step;
    EXPECT_EQ(texts[step - 1], boxes[0]);
    if (step == 6) {
      EXPECT_EQ(&doubles.device, g_pd3dDevice) << "the device is kept as it was";
    }
    ForgetStartUpGlobals();
  }
}

TEST_F(InitDirect3DTest, NothingIsReleasedOnAFailurePath) {
  doubles.failAt = 6;
  EXPECT_CALL(doubles.d3d, Release()).Times(0);
  EXPECT_CALL(doubles.device, Release()).Times(0);
  EXPECT_EQ(6, InitDirect3D(NULL));
  EXPECT_CALL(doubles.device, SetRenderState(_, _)).Times(0);
}

}  // namespace
