// A warm frame of the program's kind allocates nothing in the layer: state
// setters, binds and draws reuse what the first frame made. Counts C++
// allocations through the shared replacement of the global operator new
// (mocks/allocation_counter), so it is its own executable.
#include "d3d9_test_support.h"
#include "mocks/allocation_counter.h"

namespace d3d9test {
namespace {

using DrawAllocationTest = DeviceTest;

TEST_F(DrawAllocationTest, WarmFramesAllocateNothing) {
  m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
  m_device->SetRenderState(D3DRS_FOGENABLE, TRUE);
  m_device->SetRenderState(D3DRS_FOGTABLEMODE, D3DFOG_LINEAR);
  IDirect3DTexture9* texture =
      MakeTexture(2, 2, D3DFMT_X8R8G8B8, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF});
  const PosTexVertex strip[4] = {
      {-1, 1, 0.5f, 0, 0}, {1, 1, 0.5f, 1, 0}, {-1, -1, 0.5f, 0, 1}, {1, -1, 0.5f, 1, 1}};
  const PosColorVertex fan[6] = {{0, 0, 0.4f, 0xFFFF0000},         {-0.5f, 0.5f, 0.4f, 0xFF00FF00},
                                 {0.5f, 0.5f, 0.4f, 0xFF0000FF},   {0.5f, -0.5f, 0.4f, 0xFF00FF00},
                                 {-0.5f, -0.5f, 0.4f, 0xFF0000FF}, {-0.5f, 0.5f, 0.4f, 0xFF00FF00}};
  IDirect3DVertexBuffer9* stripBuffer = MakeBuffer(strip, sizeof strip, kPosTexFvf);
  IDirect3DVertexBuffer9* fanBuffer = MakeBuffer(fan, sizeof fan, kPosColorFvf);
  auto frame = [&](bool count) {
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClearColor, 1.0f, 0);
    m_device->BeginScene();
    if (count) allocation_counter::Start();
    for (int i = 0; i < 20; ++i) {
      D3DMATRIX world = Identity();
      world._41 = 0.01f * static_cast<float>(i);
      m_device->SetTransform(D3DTS_WORLD, &world);
      m_device->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
      m_device->SetStreamSource(0, stripBuffer, 0, sizeof(PosTexVertex));
      m_device->SetFVF(kPosTexFvf);
      m_device->SetTexture(0, texture);
      m_device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
      m_device->SetStreamSource(0, fanBuffer, 0, sizeof(PosColorVertex));
      m_device->SetFVF(kPosColorFvf);
      m_device->SetTexture(0, i % 2 ? texture : nullptr);
      m_device->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 4);
    }
    if (count) allocation_counter::Stop();
    m_device->EndScene();
    m_device->Present(nullptr, nullptr, nullptr, nullptr);
  };
  frame(false);
  frame(false);
  frame(true);
  EXPECT_EQ(allocation_counter::Count(), 0) << "C++ allocations during 40 warm draws";
}

}  // namespace
}  // namespace d3d9test
