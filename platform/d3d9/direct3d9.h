// Direct3DCreate9 and IDirect3D9: one HAL adapter (the primary display) backed
// by OpenGL 3.3 core through SDL. Creation needs SDL video and a working 3.3
// core context, probed once with a hidden 1 × 1 window; without them
// Direct3DCreate9 prints one line to stderr and returns null.
//
// Limits: adapter 0 only, HAL only, windowed devices only (full-screen
// requests fail with D3DERR_NOTAVAILABLE), no multisampling.
#pragma once

#include <d3d9.h>

namespace platform {

class Direct3D9 final : public IDirect3D9 {
 public:
  explicit Direct3D9(UINT maxTextureSize) : m_maxTextureSize(maxTextureSize) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) override;
  HRESULT STDMETHODCALLTYPE CheckDeviceFormat(UINT adapter, D3DDEVTYPE deviceType,
                                              D3DFORMAT adapterFormat, DWORD usage,
                                              D3DRESOURCETYPE resourceType,
                                              D3DFORMAT checkFormat) override;
  HRESULT STDMETHODCALLTYPE GetDeviceCaps(UINT adapter, D3DDEVTYPE deviceType,
                                          D3DCAPS9* caps) override;
  HRESULT STDMETHODCALLTYPE CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow,
                                         DWORD behaviorFlags, D3DPRESENT_PARAMETERS* params,
                                         IDirect3DDevice9** device) override;

  UINT MaxTextureSize() const { return m_maxTextureSize; }

 private:
  ~Direct3D9() = default;

  UINT m_maxTextureSize;
  ULONG m_refCount = 1;
};

}  // namespace platform
