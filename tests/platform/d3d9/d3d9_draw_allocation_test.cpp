// A warm frame of the program's kind allocates nothing in the layer: state
// setters, binds and draws reuse what the first frame made. Counts C++
// allocations through a replaced global operator new, so it is its own
// executable.
#include <atomic>
#include <cstdlib>
#include <new>

#include "d3d9_test_support.h"

namespace {
std::atomic<bool> g_counting{false};
std::atomic<long> g_allocations{0};
}  // namespace

// AddressSanitizer owns operator new itself (and reports our malloc/free pairs
// as mismatched against its own), so sanitized builds skip the count.
#ifndef __SANITIZE_ADDRESS__
#define D3D9_COUNT_ALLOCATIONS 1
// The replacements pair malloc with free; GCC cannot see that through the
// replaced operators once inlined.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  if (g_counting.load(std::memory_order_relaxed))
    g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop
#endif

namespace d3d9test {
namespace {

using DrawAllocationTest = DeviceTest;

TEST_F(DrawAllocationTest, WarmFramesAllocateNothing) {
#ifndef D3D9_COUNT_ALLOCATIONS
  GTEST_SKIP() << "allocation counting is off under AddressSanitizer";
#endif
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
    if (count) g_counting = true;
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
    g_counting = false;
    m_device->EndScene();
    m_device->Present(nullptr, nullptr, nullptr, nullptr);
  };
  frame(false);
  frame(false);
  g_allocations = 0;
  frame(true);
  EXPECT_EQ(g_allocations.load(), 0) << "C++ allocations during 40 warm draws";
}

}  // namespace
}  // namespace d3d9test
