// RecordingDevice: an IDirect3DDevice9 that passes every call on to the real
// device and writes the frames' draws into a Recording (see recording.h).
// Draw kinds come from the primitive type: strip, list and fan are the
// program's floor strip, cube and pyramid.
#pragma once

#include <d3d9.h>

#include <map>

#include "recording.h"

namespace bench {

class RecordingDevice final : public IDirect3DDevice9 {
 public:
  RecordingDevice(IDirect3DDevice9* real, Recording* out) : m_real(real), m_out(out) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    return m_real->QueryInterface(riid, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return m_real->AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return m_real->Release(); }
  HRESULT STDMETHODCALLTYPE GetDeviceCaps(D3DCAPS9* caps) override {
    return m_real->GetDeviceCaps(caps);
  }
  HRESULT STDMETHODCALLTYPE Present(const RECT* sourceRect, const RECT* destRect,
                                    HWND destWindowOverride, const RGNDATA* dirtyRegion) override;
  HRESULT STDMETHODCALLTYPE CreateTexture(UINT width, UINT height, UINT levels, DWORD usage,
                                          D3DFORMAT format, D3DPOOL pool,
                                          IDirect3DTexture9** texture,
                                          HANDLE* sharedHandle) override {
    return m_real->CreateTexture(width, height, levels, usage, format, pool, texture, sharedHandle);
  }
  HRESULT STDMETHODCALLTYPE CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                               IDirect3DVertexBuffer9** vertexBuffer,
                                               HANDLE* sharedHandle) override {
    return m_real->CreateVertexBuffer(length, usage, fvf, pool, vertexBuffer, sharedHandle);
  }
  HRESULT STDMETHODCALLTYPE BeginScene() override { return m_real->BeginScene(); }
  HRESULT STDMETHODCALLTYPE EndScene() override { return m_real->EndScene(); }
  HRESULT STDMETHODCALLTYPE Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color,
                                  float z, DWORD stencil) override {
    return m_real->Clear(count, rects, flags, color, z, stencil);
  }
  HRESULT STDMETHODCALLTYPE SetTransform(D3DTRANSFORMSTATETYPE state,
                                         const D3DMATRIX* matrix) override;
  HRESULT STDMETHODCALLTYPE SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override {
    return m_real->SetRenderState(state, value);
  }
  HRESULT STDMETHODCALLTYPE SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override;
  HRESULT STDMETHODCALLTYPE SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type,
                                            DWORD value) override {
    return m_real->SetSamplerState(sampler, type, value);
  }
  HRESULT STDMETHODCALLTYPE DrawPrimitive(D3DPRIMITIVETYPE primitiveType, UINT startVertex,
                                          UINT primitiveCount) override;
  HRESULT STDMETHODCALLTYPE SetFVF(DWORD fvf) override { return m_real->SetFVF(fvf); }
  HRESULT STDMETHODCALLTYPE SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer9* streamData,
                                            UINT offsetInBytes, UINT stride) override {
    return m_real->SetStreamSource(streamNumber, streamData, offsetInBytes, stride);
  }

 private:
  int TextureIndex(IDirect3DBaseTexture9* texture);

  IDirect3DDevice9* m_real;
  Recording* m_out;
  D3DMATRIX m_world{};
  D3DMATRIX m_view{};
  D3DMATRIX m_projection{};
  IDirect3DBaseTexture9* m_texture = nullptr;
  std::map<IDirect3DBaseTexture9*, int> m_textureIndex;
  uint32_t m_frameFirstDraw = 0;
};

}  // namespace bench
