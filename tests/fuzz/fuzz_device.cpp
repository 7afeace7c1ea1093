// Minimal device and texture for the image fuzzer (see fuzz_device.h).
#include "fuzz_device.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace fuzz_device {
namespace {
int g_liveTextures = 0;
}  // namespace

void Die(const char* what) {
  std::fprintf(stderr, "image_fuzzer: %s\n", what);
  std::abort();
}

Texture::Texture(UINT width, UINT height, UINT levels, D3DFORMAT format) : m_format(format) {
  if (levels == 0) {  // the full chain, as Direct3D does
    levels = 1;
    for (UINT side = std::max(width, height); side > 1; side /= 2) ++levels;
  }
  for (UINT i = 0; i < levels; ++i) {
    Level level;
    level.width = std::max(1u, width >> i);
    level.height = std::max(1u, height >> i);
    level.pitch = static_cast<INT>(level.width * 4) + kRowPadding;
    // Exactly pitch * height: a write past the last row is a heap overflow.
    level.bytes.assign(static_cast<std::size_t>(level.pitch) * level.height, kPaddingByte);
    m_levels.push_back(std::move(level));
  }
  ++g_liveTextures;
}

Texture::~Texture() { --g_liveTextures; }

int Texture::LiveCount() { return g_liveTextures; }

HRESULT Texture::QueryInterface(REFIID, void** object) {
  if (object) *object = nullptr;
  return E_NOINTERFACE;
}

ULONG Texture::Release() {
  if (m_refCount == 0) Die("texture released more often than referenced");
  const ULONG left = --m_refCount;
  if (left == 0) {
    CheckIntact();
    delete this;
  }
  return left;
}

HRESULT Texture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
  if (level >= m_levels.size() || !desc) return D3DERR_INVALIDCALL;
  *desc = D3DSURFACE_DESC{};
  desc->Format = m_format;
  desc->Type = D3DRTYPE_TEXTURE;
  desc->Width = m_levels[level].width;
  desc->Height = m_levels[level].height;
  return D3D_OK;
}

HRESULT Texture::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT*, DWORD) {
  if (!locked) Die("LockRect without an output");
  if (level >= m_levels.size()) Die("LockRect of a level the texture does not have");
  if (m_levels[level].locked) Die("LockRect of a level that is already locked");
  m_levels[level].locked = true;
  m_levels[level].written = true;
  locked->Pitch = m_levels[level].pitch;
  locked->pBits = m_levels[level].bytes.data();
  return D3D_OK;
}

HRESULT Texture::UnlockRect(UINT level) {
  if (level >= m_levels.size() || !m_levels[level].locked)
    Die("UnlockRect of a level that is not locked");
  m_levels[level].locked = false;
  return D3D_OK;
}

void Texture::CheckIntact() const {
  for (const Level& level : m_levels) {
    if (level.locked) Die("texture level left locked");
    const std::size_t rowBytes = static_cast<std::size_t>(level.width) * 4;
    for (UINT y = 0; y < level.height; ++y) {
      const std::uint8_t* pad =
          level.bytes.data() + static_cast<std::size_t>(y) * level.pitch + rowBytes;
      for (INT i = 0; i < kRowPadding; ++i)
        if (pad[i] != kPaddingByte) Die("loader wrote into the row padding");
    }
  }
}

HRESULT Device::GetDeviceCaps(D3DCAPS9* caps) {
  if (!caps) return D3DERR_INVALIDCALL;
  *caps = D3DCAPS9{};
  caps->DeviceType = D3DDEVTYPE_HAL;
  caps->MaxTextureWidth = maxTextureWidth;
  caps->MaxTextureHeight = maxTextureHeight;
  return D3D_OK;
}

HRESULT Device::CreateTexture(UINT width, UINT height, UINT levels, DWORD, D3DFORMAT format,
                              D3DPOOL, IDirect3DTexture9** texture, HANDLE* shared) {
  ++createTextureCalls;
  if (!texture || shared) return D3DERR_INVALIDCALL;
  *texture = nullptr;
  if (width == 0 || height == 0 || width > maxTextureWidth || height > maxTextureHeight)
    return D3DERR_INVALIDCALL;
  if (format != D3DFMT_A8R8G8B8 && format != D3DFMT_X8R8G8B8) return D3DERR_INVALIDCALL;
  *texture = new Texture(width, height, levels, format);
  return D3D_OK;
}

HRESULT Device::Present(const RECT*, const RECT*, HWND, const RGNDATA*) {
  Die("loader called Present");
}
HRESULT Device::CreateVertexBuffer(UINT, DWORD, DWORD, D3DPOOL, IDirect3DVertexBuffer9**, HANDLE*) {
  Die("loader called CreateVertexBuffer");
}
HRESULT Device::BeginScene() { Die("loader called BeginScene"); }
HRESULT Device::EndScene() { Die("loader called EndScene"); }
HRESULT Device::Clear(DWORD, const D3DRECT*, DWORD, D3DCOLOR, float, DWORD) {
  Die("loader called Clear");
}
HRESULT Device::SetTransform(D3DTRANSFORMSTATETYPE, const D3DMATRIX*) {
  Die("loader called SetTransform");
}
HRESULT Device::SetRenderState(D3DRENDERSTATETYPE, DWORD) { Die("loader called SetRenderState"); }
HRESULT Device::SetTexture(DWORD, IDirect3DBaseTexture9*) { Die("loader called SetTexture"); }
HRESULT Device::SetSamplerState(DWORD, D3DSAMPLERSTATETYPE, DWORD) {
  Die("loader called SetSamplerState");
}
HRESULT Device::DrawPrimitive(D3DPRIMITIVETYPE, UINT, UINT) { Die("loader called DrawPrimitive"); }
HRESULT Device::SetFVF(DWORD) { Die("loader called SetFVF"); }
HRESULT Device::SetStreamSource(UINT, IDirect3DVertexBuffer9*, UINT, UINT) {
  Die("loader called SetStreamSource");
}

}  // namespace fuzz_device
