// An in-memory IDirect3DDevice9 / IDirect3DTexture9 for code that only loads
// textures (the D3DX loaders, the texture set, the image fuzzer). The device
// answers GetDeviceCaps and CreateTexture, records every CreateTexture call
// and keeps every texture it made, so tests can look at reference counts and
// level contents after the code under test has released them. Each level's
// row pitch is wider than its row; the padding is filled with kPaddingByte
// and must stay untouched.
//
// Like a real device, CreateTexture refuses zero or oversized sides and
// formats other than A8R8G8B8 / X8R8G8B8 (the only ones the double stores).
// Misuse that a real device would punish (any other device call, a shared
// handle, locking a missing or locked level, unlocking an unlocked one,
// releasing below zero, a last release with a level locked or the padding
// overwritten) fails the call and is recorded in misuse(); with
// FakeOptions::abortOnMisuse it prints and aborts instead, so that a fuzzer
// reports it as a crash.
#pragma once

#include <d3d9.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace fake_d3d9 {

struct FakeOptions {
  INT rowPadding = 12;  // bytes after each row, not a multiple of 4 or 16
  bool abortOnMisuse = false;
};

struct CreateTextureCall {
  UINT width, height, levels;
  DWORD usage;
  D3DFORMAT format;
  D3DPOOL pool;
};

class FakeDevice;

class FakeTexture final : public IDirect3DTexture9 {
 public:
  static constexpr std::uint8_t kPaddingByte = 0xCD;

  struct Level {
    UINT width, height;
    INT pitch;
    std::vector<std::uint8_t> bytes;  // exactly pitch * height
    bool written = false;
    bool locked = false;
  };

  FakeTexture(FakeDevice* device, UINT width, UINT height, UINT levels, D3DFORMAT format,
              INT rowPadding, int failLockAtLevel);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refCount; }
  ULONG STDMETHODCALLTYPE Release() override;
  DWORD STDMETHODCALLTYPE GetLevelCount() override { return static_cast<DWORD>(m_levels.size()); }
  HRESULT STDMETHODCALLTYPE GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
  HRESULT STDMETHODCALLTYPE LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect,
                                     DWORD flags) override;
  HRESULT STDMETHODCALLTYPE UnlockRect(UINT level) override;

  ULONG RefCount() const { return m_refCount; }
  const std::vector<Level>& Levels() const { return m_levels; }
  std::uint32_t Pixel(UINT level, UINT x, UINT y) const;  // 0xAARRGGBB
  // Reports misuse if a level is locked or a row's padding was written.
  bool CheckIntact() const;

  std::vector<DWORD> lockFlags;
  std::vector<bool> lockRectWasNull;

 private:
  FakeDevice* m_device;
  ULONG m_refCount = 1;
  D3DFORMAT m_format;
  INT m_rowPadding;
  int m_failLockAtLevel;
  std::vector<Level> m_levels;
};

class FakeDevice final : public IDirect3DDevice9 {
 public:
  explicit FakeDevice(FakeOptions options = FakeOptions()) : m_options(options) {}

  UINT maxTextureWidth = 4096;
  UINT maxTextureHeight = 4096;
  HRESULT createTextureResult = D3D_OK;
  int failLockAtLevel = -1;  // for textures created from now on
  int getDeviceCapsCalls = 0;
  std::vector<CreateTextureCall> createCalls;
  std::function<void(const CreateTextureCall&)> onCreate;  // after recording, before creating
  std::vector<std::unique_ptr<FakeTexture>> textures;      // kept for inspection after Release

  // What the code under test did wrong, in order; empty when it behaved.
  const std::vector<std::string>& misuse() const { return m_misuse; }
  // Textures still referenced.
  int LiveTextures() const;
  // Records (or aborts on) a misuse; returns the code the failed call gives.
  HRESULT Misuse(const std::string& what, HRESULT result = D3DERR_INVALIDCALL);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetDeviceCaps(D3DCAPS9* caps) override;
  HRESULT STDMETHODCALLTYPE CreateTexture(UINT width, UINT height, UINT levels, DWORD usage,
                                          D3DFORMAT format, D3DPOOL pool,
                                          IDirect3DTexture9** texture, HANDLE* shared) override;

  // Nothing else is expected from a texture loader.
  HRESULT STDMETHODCALLTYPE Present(const RECT*, const RECT*, HWND, const RGNDATA*) override {
    return Unexpected("Present");
  }
  HRESULT STDMETHODCALLTYPE CreateVertexBuffer(UINT, DWORD, DWORD, D3DPOOL,
                                               IDirect3DVertexBuffer9**, HANDLE*) override {
    return Unexpected("CreateVertexBuffer");
  }
  HRESULT STDMETHODCALLTYPE BeginScene() override { return Unexpected("BeginScene"); }
  HRESULT STDMETHODCALLTYPE EndScene() override { return Unexpected("EndScene"); }
  HRESULT STDMETHODCALLTYPE Clear(DWORD, const D3DRECT*, DWORD, D3DCOLOR, float, DWORD) override {
    return Unexpected("Clear");
  }
  HRESULT STDMETHODCALLTYPE SetTransform(D3DTRANSFORMSTATETYPE, const D3DMATRIX*) override {
    return Unexpected("SetTransform");
  }
  HRESULT STDMETHODCALLTYPE SetRenderState(D3DRENDERSTATETYPE, DWORD) override {
    return Unexpected("SetRenderState");
  }
  HRESULT STDMETHODCALLTYPE SetTexture(DWORD, IDirect3DBaseTexture9*) override {
    return Unexpected("SetTexture");
  }
  HRESULT STDMETHODCALLTYPE SetSamplerState(DWORD, D3DSAMPLERSTATETYPE, DWORD) override {
    return Unexpected("SetSamplerState");
  }
  HRESULT STDMETHODCALLTYPE DrawPrimitive(D3DPRIMITIVETYPE, UINT, UINT) override {
    return Unexpected("DrawPrimitive");
  }
  HRESULT STDMETHODCALLTYPE SetFVF(DWORD) override { return Unexpected("SetFVF"); }
  HRESULT STDMETHODCALLTYPE SetStreamSource(UINT, IDirect3DVertexBuffer9*, UINT, UINT) override {
    return Unexpected("SetStreamSource");
  }

 private:
  HRESULT Unexpected(const char* method) {
    return Misuse(std::string("IDirect3DDevice9::") + method + " called", E_FAIL);
  }

  FakeOptions m_options;
  std::vector<std::string> m_misuse;
};

}  // namespace fake_d3d9
