// The Direct3D 9 object and device outside of rendering: creation and its
// faults, formats and caps, device creation checks, scenes, invalid calls,
// resources (locks, levels, reference counts) and the back-buffer read-back.
#include <gmock/gmock.h>

#include <cstring>

#include "d3d9_test_support.h"
#include "mocks/d3d9_mocks.h"
#include "platform_hooks.h"
#include "win32/sdl_window.h"

namespace d3d9test {
namespace {

class Direct3D9Test : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetD3DFaults(platform::D3DFaults{});
    m_window = TestWindow(kWidth, kHeight);
    m_d3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (!m_d3d) {
      GTEST_SKIP() << "no Direct3D 9 object (no display or no OpenGL 3.3)";
    }
  }
  void TearDown() override {
    platform::SetD3DFaults(platform::D3DFaults{});
    if (m_d3d) {
      EXPECT_EQ(m_d3d->Release(), 0u);
    }
  }
  HWND m_window = nullptr;
  IDirect3D9* m_d3d = nullptr;
};

TEST_F(Direct3D9Test, CreateNeedsSdkVersion32AndHonoursTheFaultAndHook) {
  EXPECT_EQ(Direct3DCreate9(31), nullptr);
  platform::D3DFaults faults;
  faults.createFails = true;
  platform::SetD3DFaults(faults);
  EXPECT_EQ(Direct3DCreate9(D3D_SDK_VERSION), nullptr);
  platform::SetD3DFaults(platform::D3DFaults{});
  UINT seenVersion = 0;
  platform::SetDirect3DCreate9Hook([&](UINT version) -> IDirect3D9* {
    seenVersion = version;
    return nullptr;
  });
  EXPECT_EQ(Direct3DCreate9(D3D_SDK_VERSION), nullptr);
  EXPECT_EQ(seenVersion, 32u);
  platform::SetDirect3DCreate9Hook(nullptr);
}

TEST_F(Direct3D9Test, DisplayModeIsTheDesktopInX8R8G8B8) {
  D3DDISPLAYMODE mode;
  ASSERT_EQ(m_d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode), D3D_OK);
  EXPECT_EQ(mode.Format, D3DFMT_X8R8G8B8);
  EXPECT_EQ(mode.Width, static_cast<UINT>(GetSystemMetrics(SM_CXSCREEN)));
  EXPECT_EQ(mode.Height, static_cast<UINT>(GetSystemMetrics(SM_CYSCREEN)));
  EXPECT_GT(mode.RefreshRate, 0u);
  EXPECT_EQ(m_d3d->GetAdapterDisplayMode(1, &mode), D3DERR_INVALIDCALL);
  EXPECT_EQ(m_d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, nullptr), D3DERR_INVALIDCALL);
  platform::D3DFaults faults;
  faults.displayModeFails = true;
  platform::SetD3DFaults(faults);
  EXPECT_TRUE(FAILED(m_d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode)));
}

TEST_F(Direct3D9Test, CheckDeviceFormatAcceptsDepthFormatsForDepthStencilUse) {
  for (D3DFORMAT depth : {D3DFMT_D16, D3DFMT_D24S8, D3DFMT_D24X8}) {
    EXPECT_EQ(m_d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DUSAGE_DEPTHSTENCIL,
                                       D3DRTYPE_SURFACE, depth),
              D3D_OK)
        << "depth format " << depth;
  }
  EXPECT_EQ(
      m_d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_SURFACE, D3DFMT_D16),
      D3DERR_NOTAVAILABLE)
      << "a depth format without depth-stencil use";
  EXPECT_EQ(m_d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DUSAGE_DEPTHSTENCIL,
                                     D3DRTYPE_SURFACE, D3DFMT_R5G6B5),
            D3DERR_NOTAVAILABLE);
  EXPECT_EQ(m_d3d->CheckDeviceFormat(3, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DUSAGE_DEPTHSTENCIL,
                                     D3DRTYPE_SURFACE, D3DFMT_D16),
            D3DERR_INVALIDCALL);
  platform::D3DFaults faults;
  faults.checkDepthFormatResult = D3DERR_NOTAVAILABLE;
  platform::SetD3DFaults(faults);
  EXPECT_EQ(m_d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DUSAGE_DEPTHSTENCIL,
                                     D3DRTYPE_SURFACE, D3DFMT_D16),
            D3DERR_NOTAVAILABLE);
  faults.checkDepthFormatResult = D3DERR_INVALIDCALL;
  platform::SetD3DFaults(faults);
  EXPECT_EQ(m_d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DUSAGE_DEPTHSTENCIL,
                                     D3DRTYPE_SURFACE, D3DFMT_D16),
            D3DERR_INVALIDCALL);
}

TEST_F(Direct3D9Test, CapsReportHardwareVertexProcessingAndTextureLimits) {
  D3DCAPS9 caps;
  ASSERT_EQ(m_d3d->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps), D3D_OK);
  EXPECT_NE(caps.VertexProcessingCaps, 0u);
  EXPECT_GE(caps.MaxTextureWidth, 256u);
  EXPECT_EQ(caps.MaxTextureWidth, caps.MaxTextureHeight);
  EXPECT_GE(caps.MaxStreams, 1u);
  EXPECT_GT(caps.MaxPrimitiveCount, 0u);
  EXPECT_TRUE(caps.TextureFilterCaps & D3DPTFILTERCAPS_MINFLINEAR);
  EXPECT_TRUE(caps.TextureAddressCaps & D3DPTADDRESSCAPS_WRAP);
  EXPECT_EQ(m_d3d->GetDeviceCaps(0, D3DDEVTYPE_HAL, nullptr), D3DERR_INVALIDCALL);
  platform::D3DFaults faults;
  faults.deviceCapsFails = true;
  platform::SetD3DFaults(faults);
  EXPECT_TRUE(FAILED(m_d3d->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps)));
}

TEST_F(Direct3D9Test, CreateDeviceRefusesBadRequests) {
  ASSERT_NE(m_window, nullptr);
  IDirect3DDevice9* device = reinterpret_cast<IDirect3DDevice9*>(0x1);
  D3DPRESENT_PARAMETERS pp = ProgramPresentParameters(kWidth, kHeight);
  pp.Windowed = FALSE;
  EXPECT_EQ(m_d3d->CreateDevice(0, D3DDEVTYPE_HAL, m_window, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                &pp, &device),
            D3DERR_NOTAVAILABLE)
      << "full screen";
  EXPECT_EQ(device, nullptr);
  pp = ProgramPresentParameters(kWidth, kHeight);
  int foreign = 0;
  EXPECT_EQ(m_d3d->CreateDevice(0, D3DDEVTYPE_HAL, reinterpret_cast<HWND>(&foreign),
                                D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device),
            D3DERR_INVALIDCALL)
      << "not one of our windows";
  EXPECT_EQ(m_d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                &pp, &device),
            D3DERR_INVALIDCALL)
      << "no window at all";
  EXPECT_EQ(m_d3d->CreateDevice(0, D3DDEVTYPE_HAL, m_window, 0, &pp, &device), D3DERR_INVALIDCALL)
      << "no vertex processing flag";
  EXPECT_EQ(m_d3d->CreateDevice(0, D3DDEVTYPE_HAL, m_window, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                nullptr, &device),
            D3DERR_INVALIDCALL);
  platform::D3DFaults faults;
  faults.createDeviceFails = true;
  platform::SetD3DFaults(faults);
  EXPECT_TRUE(FAILED(m_d3d->CreateDevice(0, D3DDEVTYPE_HAL, m_window,
                                         D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device)));
  EXPECT_EQ(device, nullptr);
}

TEST_F(Direct3D9Test, CreateDeviceFillsInSizeAndCountAndHoldsTheObject) {
  ASSERT_NE(m_window, nullptr);
  D3DPRESENT_PARAMETERS pp = ProgramPresentParameters(0, 0);
  IDirect3DDevice9* device = nullptr;
  const HRESULT hr = m_d3d->CreateDevice(0, D3DDEVTYPE_HAL, m_window,
                                         D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, &device);
  ASSERT_TRUE(SUCCEEDED(hr)) << "CreateDevice failed: 0x" << std::hex << hr;
  int windowWidth = 0;
  int windowHeight = 0;
  SDL_GetWindowSize(platform::SdlWindowFromHwnd(m_window), &windowWidth, &windowHeight);
  EXPECT_EQ(pp.BackBufferWidth, static_cast<UINT>(windowWidth));
  EXPECT_EQ(pp.BackBufferHeight, static_cast<UINT>(windowHeight));
  EXPECT_EQ(pp.BackBufferCount, 1u);
  std::vector<uint8_t> rgba;
  int width = 0;
  int height = 0;
  ASSERT_TRUE(platform::ReadBackBuffer(device, &rgba, &width, &height));
  EXPECT_EQ(width, windowWidth);
  EXPECT_EQ(height, windowHeight);
  EXPECT_EQ(rgba.size(), static_cast<size_t>(width) * height * 4);
  // The device holds a reference on the Direct3D object.
  EXPECT_EQ(m_d3d->AddRef(), 3u);
  EXPECT_EQ(m_d3d->Release(), 2u);
  EXPECT_EQ(device->Release(), 0u);
}

TEST(D3D9ReadBack, RefusesForeignAndNullDevices) {
  std::vector<uint8_t> rgba;
  int width = 0;
  int height = 0;
  EXPECT_FALSE(platform::ReadBackBuffer(nullptr, &rgba, &width, &height));
  MockDevice mock;
  EXPECT_FALSE(platform::ReadBackBuffer(&mock, &rgba, &width, &height));
}

using DeviceCallTest = DeviceTest;

TEST_F(DeviceCallTest, ScenesDoNotNestAndTheFaultFailsBeginScene) {
  EXPECT_EQ(m_device->EndScene(), D3DERR_INVALIDCALL) << "EndScene without BeginScene";
  EXPECT_EQ(m_device->BeginScene(), D3D_OK);
  EXPECT_EQ(m_device->BeginScene(), D3DERR_INVALIDCALL) << "nested BeginScene";
  EXPECT_EQ(m_device->EndScene(), D3D_OK);
  platform::D3DFaults faults;
  faults.beginSceneFails = true;
  platform::SetD3DFaults(faults);
  EXPECT_TRUE(FAILED(m_device->BeginScene()));
  EXPECT_EQ(m_device->EndScene(), D3DERR_INVALIDCALL) << "the failed BeginScene began nothing";
}

TEST_F(DeviceCallTest, BadDrawsFailAndDrawNothing) {
  const PosColorVertex triangle[3] = {
      {-1, -1, 0.5f, 0xFF000000}, {0, 1, 0.5f, 0xFF000000}, {1, -1, 0.5f, 0xFF000000}};
  ASSERT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClearColor, 1.0f, 0),
            D3D_OK);
  m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  m_device->SetFVF(kPosColorFvf);
  EXPECT_EQ(m_device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL) << "no stream";
  IDirect3DVertexBuffer9* buffer = MakeBuffer(triangle, sizeof triangle, kPosColorFvf);
  m_device->SetStreamSource(0, buffer, 0, sizeof(PosColorVertex));
  EXPECT_EQ(m_device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2), D3DERR_INVALIDCALL)
      << "stream too short for two triangles";
  EXPECT_EQ(m_device->DrawPrimitive(D3DPT_TRIANGLELIST, 1, 1), D3DERR_INVALIDCALL)
      << "start vertex past the data";
  EXPECT_EQ(m_device->DrawPrimitive(static_cast<D3DPRIMITIVETYPE>(42), 0, 1), D3DERR_INVALIDCALL);
  m_device->SetStreamSource(0, buffer, 0, 8);
  EXPECT_EQ(m_device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL)
      << "stride shorter than the vertex";
  m_device->SetStreamSource(0, buffer, 0, sizeof(PosColorVertex));
  m_device->SetFVF(0);
  EXPECT_EQ(m_device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL) << "no FVF";
  m_device->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE);
  EXPECT_EQ(m_device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL)
      << "pre-transformed vertices";
  EXPECT_EQ(m_device->SetStreamSource(1, buffer, 0, 16), D3DERR_INVALIDCALL);
  EXPECT_EQ(m_device->SetTransform(D3DTS_WORLD, nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(m_device->Clear(1, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), D3DERR_INVALIDCALL);
  ReadFrame();
  EXPECT_TRUE(RgbNear(Pixel(64, 96), Rgb{204, 204, 255}, 0)) << "nothing was drawn";
  m_device->SetFVF(kPosColorFvf);
  EXPECT_EQ(m_device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3D_OK);
  EXPECT_EQ(m_device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 0), D3D_OK) << "zero primitives";
}

TEST_F(DeviceCallTest, VertexBufferLockChecksItsRange) {
  IDirect3DVertexBuffer9* buffer = nullptr;
  ASSERT_EQ(m_device->CreateVertexBuffer(96, 0, kPosColorFvf, D3DPOOL_DEFAULT, &buffer, nullptr),
            D3D_OK);
  m_resources.push_back(buffer);
  void* whole = nullptr;
  EXPECT_EQ(buffer->Lock(0, 0, &whole, 0), D3D_OK) << "size 0 locks everything";
  EXPECT_NE(whole, nullptr);
  EXPECT_EQ(buffer->Unlock(), D3D_OK);
  void* part = nullptr;
  EXPECT_EQ(buffer->Lock(16, 80, &part, 0), D3D_OK) << "up to the very end";
  EXPECT_EQ(static_cast<uint8_t*>(part) - static_cast<uint8_t*>(whole), 16);
  EXPECT_EQ(buffer->Unlock(), D3D_OK);
  void* data = reinterpret_cast<void*>(0x1);
  EXPECT_EQ(buffer->Lock(16, 81, &data, 0), D3DERR_INVALIDCALL) << "one byte past the end";
  EXPECT_EQ(data, nullptr);
  EXPECT_EQ(buffer->Lock(96, 0, &data, 0), D3DERR_INVALIDCALL) << "offset at the end";
  EXPECT_EQ(buffer->Lock(0, 0, nullptr, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(buffer->Unlock(), D3D_OK) << "unlocking an unlocked buffer is harmless";
  IDirect3DVertexBuffer9* none = nullptr;
  EXPECT_EQ(m_device->CreateVertexBuffer(0, 0, 0, D3DPOOL_DEFAULT, &none, nullptr),
            D3DERR_INVALIDCALL);
  EXPECT_EQ(none, nullptr);
}

TEST_F(DeviceCallTest, LockedBytesReachTheNextDraw) {
  m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
  m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  PosColorVertex quad[6] = {{-1, 1, 0.5f, 0xFFFF0000},  {1, 1, 0.5f, 0xFFFF0000},
                            {-1, -1, 0.5f, 0xFFFF0000}, {-1, -1, 0.5f, 0xFFFF0000},
                            {1, 1, 0.5f, 0xFFFF0000},   {1, -1, 0.5f, 0xFFFF0000}};
  IDirect3DVertexBuffer9* buffer = MakeBuffer(quad, sizeof quad, kPosColorFvf);
  DrawFrame(buffer, kPosColorFvf, sizeof(PosColorVertex), D3DPT_TRIANGLELIST, 2);
  EXPECT_TRUE(RgbNear(Pixel(64, 64), Rgb{255, 0, 0}, 0));
  // Rewrite only the colours of the second triangle through a partial lock.
  void* data = nullptr;
  ASSERT_EQ(buffer->Lock(3 * sizeof(PosColorVertex), 3 * sizeof(PosColorVertex), &data, 0), D3D_OK);
  auto* vertices = static_cast<PosColorVertex*>(data);
  for (int i = 0; i < 3; ++i) vertices[i].color = 0xFF0000FF;
  ASSERT_EQ(buffer->Unlock(), D3D_OK);
  DrawFrame(buffer, kPosColorFvf, sizeof(PosColorVertex), D3DPT_TRIANGLELIST, 2);
  EXPECT_TRUE(RgbNear(Pixel(20, 20), Rgb{255, 0, 0}, 0)) << "first triangle unchanged";
  EXPECT_TRUE(RgbNear(Pixel(108, 108), Rgb{0, 0, 255}, 0)) << "second triangle rewritten";
}

TEST_F(DeviceCallTest, TexturesHaveLevelsPitchAndLockRules) {
  IDirect3DTexture9* texture = nullptr;
  ASSERT_EQ(
      m_device->CreateTexture(256, 64, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr),
      D3D_OK);
  m_resources.push_back(texture);
  EXPECT_EQ(texture->GetLevelCount(), 9u) << "levels 0 makes the full chain down to 1 × 1";
  D3DSURFACE_DESC desc;
  ASSERT_EQ(texture->GetLevelDesc(3, &desc), D3D_OK);
  EXPECT_EQ(desc.Width, 32u);
  EXPECT_EQ(desc.Height, 8u);
  EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
  EXPECT_EQ(desc.Pool, D3DPOOL_MANAGED);
  ASSERT_EQ(texture->GetLevelDesc(8, &desc), D3D_OK);
  EXPECT_EQ(desc.Width, 1u);
  EXPECT_EQ(desc.Height, 1u);
  EXPECT_EQ(texture->GetLevelDesc(9, &desc), D3DERR_INVALIDCALL);
  D3DLOCKED_RECT locked;
  ASSERT_EQ(texture->LockRect(1, &locked, nullptr, 0), D3D_OK);
  EXPECT_EQ(locked.Pitch, 128 * 4);
  EXPECT_EQ(texture->LockRect(1, &locked, nullptr, 0), D3DERR_INVALIDCALL) << "already locked";
  EXPECT_EQ(texture->UnlockRect(1), D3D_OK);
  EXPECT_EQ(texture->UnlockRect(1), D3DERR_INVALIDCALL) << "not locked";
  EXPECT_EQ(texture->LockRect(9, &locked, nullptr, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(texture->LockRect(0, nullptr, nullptr, 0), D3DERR_INVALIDCALL);

  IDirect3DTexture9* none = nullptr;
  EXPECT_EQ(m_device->CreateTexture(64, 64, 1, 0, D3DFMT_R5G6B5, D3DPOOL_MANAGED, &none, nullptr),
            D3DERR_INVALIDCALL);
  EXPECT_EQ(m_device->CreateTexture(0, 64, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &none, nullptr),
            D3DERR_INVALIDCALL);
  EXPECT_EQ(m_device->CreateTexture(64, 64, 8, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &none, nullptr),
            D3DERR_INVALIDCALL)
      << "more levels than the chain has";
  EXPECT_EQ(none, nullptr);
}

TEST_F(DeviceCallTest, ResourcesKeepTheDeviceAliveAndBindingsKeepResources) {
  m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
  IDirect3DTexture9* texture = nullptr;
  ASSERT_EQ(
      m_device->CreateTexture(1, 1, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr),
      D3D_OK);
  D3DLOCKED_RECT locked;
  ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
  *static_cast<uint32_t*>(locked.pBits) = 0xFF00FF00;
  ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
  EXPECT_EQ(m_device->AddRef(), 3u) << "the texture holds a reference on the device";
  EXPECT_EQ(m_device->Release(), 2u);

  // Bound, then released by the program: still drawable until unbound.
  ASSERT_EQ(m_device->SetTexture(0, texture), D3D_OK);
  EXPECT_EQ(texture->Release(), 0u);
  PosTexVertex quad[4] = {
      {-1, 1, 0.5f, 0, 0}, {1, 1, 0.5f, 1, 0}, {-1, -1, 0.5f, 0, 1}, {1, -1, 0.5f, 1, 1}};
  IDirect3DVertexBuffer9* buffer = MakeBuffer(quad, sizeof quad, kPosTexFvf);
  DrawFrame(buffer, kPosTexFvf, sizeof(PosTexVertex), D3DPT_TRIANGLESTRIP, 2);
  EXPECT_TRUE(RgbNear(Pixel(64, 64), Rgb{0, 255, 0}, 0));
  EXPECT_EQ(m_device->SetTexture(0, nullptr), D3D_OK);

  // A resource released after the device: the device lives until then.
  IDirect3DVertexBuffer9* late = nullptr;
  ASSERT_EQ(m_device->CreateVertexBuffer(80, 0, kPosTexFvf, D3DPOOL_MANAGED, &late, nullptr),
            D3D_OK);
  m_device->SetStreamSource(0, late, 0, sizeof(PosTexVertex));
  for (IUnknown* resource : m_resources) EXPECT_EQ(resource->Release(), 0u);
  m_resources.clear();
  EXPECT_EQ(m_device->Release(), 1u) << "the late buffer still holds the device";
  m_device = nullptr;
  EXPECT_EQ(late->Release(), 0u);
}

}  // namespace
}  // namespace d3d9test
