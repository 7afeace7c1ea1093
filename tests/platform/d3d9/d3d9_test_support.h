// Shared set-up for the Direct3D 9 device tests: a window from the layer's
// CreateWindowExA and the program's presentation parameters (both from
// mocks/device_window.h), a device on it, vertex buffers and textures filled
// in place, read-back with per-channel comparisons, and optional frame dumps
// (set D3D9_TEST_DUMP_DIR to write PPM files). Tests skip when no device can
// be made (no display, no OpenGL 3.3).
#pragma once

#include <d3d9.h>
#include <gtest/gtest.h>

#include "mocks/device_window.h"

#include <cstdint>
#include <string>
#include <vector>

namespace d3d9test {

constexpr int kWidth = 128;
constexpr int kHeight = 128;
constexpr D3DCOLOR kClearColor = 0xFFCCCCFF;

struct Rgb {
  int r;
  int g;
  int b;
};

struct PosTexVertex {
  float x, y, z, u, v;
};
struct PosColorVertex {
  float x, y, z;
  D3DCOLOR color;
};
constexpr DWORD kPosTexFvf = D3DFVF_XYZ | D3DFVF_TEX1;
constexpr DWORD kPosColorFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE;

using device_window::ProgramPresentParameters;
using device_window::TestWindow;

D3DMATRIX Identity();
D3DMATRIX PerspectiveFovLH(float fovy, float aspect, float zn, float zf);

class DeviceTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Keeps the buffer until TearDown, which releases it before the device.
  IDirect3DVertexBuffer9* MakeBuffer(const void* vertices, UINT size, DWORD fvf);
  // Texels given as 0xAARRGGBB, row by row from the top.
  IDirect3DTexture9* MakeTexture(UINT width, UINT height, D3DFORMAT format,
                                 const std::vector<uint32_t>& texels);

  // Clears, draws one buffer as given, and reads the frame back.
  void DrawFrame(IDirect3DVertexBuffer9* buffer, DWORD fvf, UINT stride, D3DPRIMITIVETYPE type,
                 UINT count);
  void ReadFrame();
  Rgb Pixel(int x, int y) const;
  void DumpFrame(const std::string& name) const;

  IDirect3D9* m_d3d = nullptr;
  IDirect3DDevice9* m_device = nullptr;
  std::vector<IUnknown*> m_resources;
  std::vector<uint8_t> m_frame;
  int m_frameWidth = 0;
  int m_frameHeight = 0;
};

// Per-channel comparison with a tolerance; the message shows both colours.
::testing::AssertionResult RgbNear(const Rgb& actual, const Rgb& expected, int tolerance);

}  // namespace d3d9test
