// A minimal IDirect3DDevice9 / IDirect3DTexture9 for the image fuzzer. Unlike
// the loader tests' fake, textures live only while referenced (Release frees
// them), so memory stays flat over millions of runs. Misuse that a real device
// would punish (locking a level that does not exist, locking twice, unlocking
// an unlocked level, releasing below zero, writing past a row) aborts, so the
// fuzzer reports it as a crash.
#pragma once

#include <d3d9.h>

#include <cstdint>
#include <vector>

namespace fuzz_device {

// Prints the message and aborts: libFuzzer then saves the input as a crash.
[[noreturn]] void Die(const char* what);

class Texture final : public IDirect3DTexture9 {
 public:
  // Bytes after each row that the loader must never touch.
  static constexpr INT kRowPadding = 16;
  static constexpr std::uint8_t kPaddingByte = 0xCD;

  struct Level {
    UINT width, height;
    INT pitch;
    std::vector<std::uint8_t> bytes;
    bool locked = false;
    bool written = false;
  };

  Texture(UINT width, UINT height, UINT levels, D3DFORMAT format);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refCount; }
  ULONG STDMETHODCALLTYPE Release() override;
  DWORD STDMETHODCALLTYPE GetLevelCount() override { return static_cast<DWORD>(m_levels.size()); }
  HRESULT STDMETHODCALLTYPE GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
  HRESULT STDMETHODCALLTYPE LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect,
                                     DWORD flags) override;
  HRESULT STDMETHODCALLTYPE UnlockRect(UINT level) override;

  D3DFORMAT Format() const { return m_format; }
  const std::vector<Level>& Levels() const { return m_levels; }
  // Aborts if a level is still locked or a row's padding was overwritten.
  void CheckIntact() const;

  static int LiveCount();

 private:
  ~Texture();

  ULONG m_refCount = 1;
  D3DFORMAT m_format;
  std::vector<Level> m_levels;
};

class Device final : public IDirect3DDevice9 {
 public:
  UINT maxTextureWidth = 256;
  UINT maxTextureHeight = 256;
  int createTextureCalls = 0;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetDeviceCaps(D3DCAPS9* caps) override;
  HRESULT STDMETHODCALLTYPE CreateTexture(UINT width, UINT height, UINT levels, DWORD usage,
                                          D3DFORMAT format, D3DPOOL pool,
                                          IDirect3DTexture9** texture, HANDLE* shared) override;

  // The texture loaders have no business calling these.
  HRESULT STDMETHODCALLTYPE Present(const RECT*, const RECT*, HWND, const RGNDATA*) override;
  HRESULT STDMETHODCALLTYPE CreateVertexBuffer(UINT, DWORD, DWORD, D3DPOOL,
                                               IDirect3DVertexBuffer9**, HANDLE*) override;
  HRESULT STDMETHODCALLTYPE BeginScene() override;
  HRESULT STDMETHODCALLTYPE EndScene() override;
  HRESULT STDMETHODCALLTYPE Clear(DWORD, const D3DRECT*, DWORD, D3DCOLOR, float, DWORD) override;
  HRESULT STDMETHODCALLTYPE SetTransform(D3DTRANSFORMSTATETYPE, const D3DMATRIX*) override;
  HRESULT STDMETHODCALLTYPE SetRenderState(D3DRENDERSTATETYPE, DWORD) override;
  HRESULT STDMETHODCALLTYPE SetTexture(DWORD, IDirect3DBaseTexture9*) override;
  HRESULT STDMETHODCALLTYPE SetSamplerState(DWORD, D3DSAMPLERSTATETYPE, DWORD) override;
  HRESULT STDMETHODCALLTYPE DrawPrimitive(D3DPRIMITIVETYPE, UINT, UINT) override;
  HRESULT STDMETHODCALLTYPE SetFVF(DWORD) override;
  HRESULT STDMETHODCALLTYPE SetStreamSource(UINT, IDirect3DVertexBuffer9*, UINT, UINT) override;
};

}  // namespace fuzz_device
