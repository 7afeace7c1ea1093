// Device-test helpers for the Direct3D 9 layer.
#include "d3d9_test_support.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform_hooks.h"

namespace d3d9test {

D3DMATRIX Identity() {
  D3DMATRIX m;
  std::memset(&m, 0, sizeof m);
  m._11 = m._22 = m._33 = m._44 = 1.0f;
  return m;
}

D3DMATRIX PerspectiveFovLH(float fovy, float aspect, float zn, float zf) {
  D3DMATRIX m;
  std::memset(&m, 0, sizeof m);
  const float yScale = 1.0f / std::tan(fovy / 2.0f);
  m._11 = yScale / aspect;
  m._22 = yScale;
  m._33 = zf / (zf - zn);
  m._34 = 1.0f;
  m._43 = -zn * zf / (zf - zn);
  return m;
}

void DeviceTest::SetUp() {
  platform::SetD3DFaults(platform::D3DFaults{});
  HWND window = TestWindow(kWidth, kHeight);
  m_d3d = Direct3DCreate9(D3D_SDK_VERSION);
  if (!m_d3d) {
    GTEST_SKIP() << "no Direct3D 9 object (no display or no OpenGL 3.3)";
  }
  // With a Direct3D object the machine can draw: from here on every
  // failure is the layer's, and fails the test.
  ASSERT_NE(window, nullptr) << "no test window after Direct3DCreate9 succeeded";
  D3DPRESENT_PARAMETERS pp = ProgramPresentParameters(kWidth, kHeight);
  const HRESULT hr = m_d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                         D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &m_device);
  ASSERT_TRUE(SUCCEEDED(hr)) << "CreateDevice failed after Direct3DCreate9 succeeded: 0x"
                             << std::hex << hr;
}

void DeviceTest::TearDown() {
  platform::SetD3DFaults(platform::D3DFaults{});
  if (m_device) {
    // Unbind first: bindings hold private references only, but keep it tidy.
    m_device->SetTexture(0, nullptr);
    m_device->SetStreamSource(0, nullptr, 0, 0);
  }
  for (IUnknown* resource : m_resources) EXPECT_EQ(resource->Release(), 0u);
  m_resources.clear();
  if (m_device) {
    EXPECT_EQ(m_device->Release(), 0u) << "the device outlived its test";
  }
  if (m_d3d) {
    EXPECT_EQ(m_d3d->Release(), 0u) << "the Direct3D object outlived its test";
  }
}

IDirect3DVertexBuffer9* DeviceTest::MakeBuffer(const void* vertices, UINT size, DWORD fvf) {
  IDirect3DVertexBuffer9* buffer = nullptr;
  EXPECT_EQ(m_device->CreateVertexBuffer(size, D3DUSAGE_WRITEONLY, fvf, D3DPOOL_MANAGED, &buffer,
                                         nullptr),
            D3D_OK);
  if (!buffer) return nullptr;
  void* data = nullptr;
  EXPECT_EQ(buffer->Lock(0, size, &data, 0), D3D_OK);
  if (data) std::memcpy(data, vertices, size);
  EXPECT_EQ(buffer->Unlock(), D3D_OK);
  m_resources.push_back(buffer);
  return buffer;
}

IDirect3DTexture9* DeviceTest::MakeTexture(UINT width, UINT height, D3DFORMAT format,
                                           const std::vector<uint32_t>& texels) {
  IDirect3DTexture9* texture = nullptr;
  EXPECT_EQ(
      m_device->CreateTexture(width, height, 1, 0, format, D3DPOOL_MANAGED, &texture, nullptr),
      D3D_OK);
  if (!texture) return nullptr;
  D3DLOCKED_RECT locked;
  EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
  for (UINT y = 0; y < height; ++y) {
    std::memcpy(static_cast<uint8_t*>(locked.pBits) + static_cast<size_t>(locked.Pitch) * y,
                texels.data() + static_cast<size_t>(width) * y, width * 4);
  }
  EXPECT_EQ(texture->UnlockRect(0), D3D_OK);
  m_resources.push_back(texture);
  return texture;
}

void DeviceTest::DrawFrame(IDirect3DVertexBuffer9* buffer, DWORD fvf, UINT stride,
                           D3DPRIMITIVETYPE type, UINT count) {
  ASSERT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClearColor, 1.0f, 0),
            D3D_OK);
  ASSERT_EQ(m_device->BeginScene(), D3D_OK);
  m_device->SetFVF(fvf);
  m_device->SetStreamSource(0, buffer, 0, stride);
  EXPECT_EQ(m_device->DrawPrimitive(type, 0, count), D3D_OK);
  ASSERT_EQ(m_device->EndScene(), D3D_OK);
  ReadFrame();
}

void DeviceTest::ReadFrame() {
  ASSERT_TRUE(platform::ReadBackBuffer(m_device, &m_frame, &m_frameWidth, &m_frameHeight));
}

Rgb DeviceTest::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= m_frameWidth || y >= m_frameHeight) return Rgb{-1, -1, -1};
  const uint8_t* p = m_frame.data() + (static_cast<size_t>(y) * m_frameWidth + x) * 4;
  return Rgb{p[0], p[1], p[2]};
}

void DeviceTest::DumpFrame(const std::string& name) const {
  const char* dir = std::getenv("D3D9_TEST_DUMP_DIR");
  if (!dir || m_frame.empty()) return;
  const std::string path = std::string(dir) + "/" + name + ".ppm";
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return;
  std::fprintf(file, "P6\n%d %d\n255\n", m_frameWidth, m_frameHeight);
  for (size_t i = 0; i < m_frame.size(); i += 4) std::fwrite(&m_frame[i], 1, 3, file);
  std::fclose(file);
}

::testing::AssertionResult RgbNear(const Rgb& actual, const Rgb& expected, int tolerance) {
  if (std::abs(actual.r - expected.r) <= tolerance &&
      std::abs(actual.g - expected.g) <= tolerance &&
      std::abs(actual.b - expected.b) <= tolerance) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << "expected (" << expected.r << ", " << expected.g << ", " << expected.b << ") ± "
         << tolerance << ", got (" << actual.r << ", " << actual.g << ", " << actual.b << ")";
}

}  // namespace d3d9test
