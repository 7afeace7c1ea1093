// A small in-memory IDirect3DDevice9 / IDirect3DTexture9 for the D3DX loader
// tests: records GetDeviceCaps and CreateTexture calls, keeps every level's
// bytes (with a row pitch wider than the row, to catch pitch mistakes) and can
// be told to fail CreateTexture or LockRect at a given level.
#pragma once

#include <d3d9.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace fake_d3d9 {

struct CreateTextureCall {
  UINT width, height, levels;
  DWORD usage;
  D3DFORMAT format;
  D3DPOOL pool;
};

class FakeTexture final : public IDirect3DTexture9 {
 public:
  static constexpr INT kPitchPadding = 12;

  struct Level {
    UINT width, height;
    INT pitch;
    std::vector<std::uint8_t> bytes;
    bool written = false;
    bool locked = false;
  };

  FakeTexture(UINT width, UINT height, UINT levels, D3DFORMAT format, int failLockAtLevel);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refCount; }
  ULONG STDMETHODCALLTYPE Release() override { return m_refCount ? --m_refCount : 0; }
  DWORD STDMETHODCALLTYPE GetLevelCount() override { return static_cast<DWORD>(m_levels.size()); }
  HRESULT STDMETHODCALLTYPE GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
  HRESULT STDMETHODCALLTYPE LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect,
                                     DWORD flags) override;
  HRESULT STDMETHODCALLTYPE UnlockRect(UINT level) override;

  ULONG RefCount() const { return m_refCount; }
  const std::vector<Level>& Levels() const { return m_levels; }
  std::uint32_t Pixel(UINT level, UINT x, UINT y) const;  // 0xAARRGGBB
  std::vector<DWORD> lockFlags;
  std::vector<bool> lockRectWasNull;

 private:
  ULONG m_refCount = 1;
  D3DFORMAT m_format;
  int m_failLockAtLevel;
  std::vector<Level> m_levels;
};

class FakeDevice final : public IDirect3DDevice9 {
 public:
  UINT maxTextureWidth = 4096;
  UINT maxTextureHeight = 4096;
  HRESULT createTextureResult = D3D_OK;
  int failLockAtLevel = -1;  // for textures created from now on
  int getDeviceCapsCalls = 0;
  std::vector<CreateTextureCall> createCalls;
  std::vector<std::unique_ptr<FakeTexture>> textures;  // kept for inspection after Release

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetDeviceCaps(D3DCAPS9* caps) override;
  HRESULT STDMETHODCALLTYPE CreateTexture(UINT width, UINT height, UINT levels, DWORD usage,
                                          D3DFORMAT format, D3DPOOL pool,
                                          IDirect3DTexture9** texture, HANDLE* shared) override;

  // Nothing else is expected from the loaders; these fail so misuse shows.
  HRESULT STDMETHODCALLTYPE Present(const RECT*, const RECT*, HWND, const RGNDATA*) override {
    return E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE CreateVertexBuffer(UINT, DWORD, DWORD, D3DPOOL,
                                               IDirect3DVertexBuffer9**, HANDLE*) override {
    return E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE BeginScene() override { return E_FAIL; }
  HRESULT STDMETHODCALLTYPE EndScene() override { return E_FAIL; }
  HRESULT STDMETHODCALLTYPE Clear(DWORD, const D3DRECT*, DWORD, D3DCOLOR, float, DWORD) override {
    return E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE SetTransform(D3DTRANSFORMSTATETYPE, const D3DMATRIX*) override {
    return E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE SetRenderState(D3DRENDERSTATETYPE, DWORD) override { return E_FAIL; }
  HRESULT STDMETHODCALLTYPE SetTexture(DWORD, IDirect3DBaseTexture9*) override { return E_FAIL; }
  HRESULT STDMETHODCALLTYPE SetSamplerState(DWORD, D3DSAMPLERSTATETYPE, DWORD) override {
    return E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE DrawPrimitive(D3DPRIMITIVETYPE, UINT, UINT) override { return E_FAIL; }
  HRESULT STDMETHODCALLTYPE SetFVF(DWORD) override { return E_FAIL; }
  HRESULT STDMETHODCALLTYPE SetStreamSource(UINT, IDirect3DVertexBuffer9*, UINT, UINT) override {
    return E_FAIL;
  }
};

}  // namespace fake_d3d9
