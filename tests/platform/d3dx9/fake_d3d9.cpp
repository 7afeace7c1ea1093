// In-memory device and texture doubles for the D3DX loader tests (see fake_d3d9.h).
#include "fake_d3d9.h"

#include <algorithm>

namespace fake_d3d9 {

FakeTexture::FakeTexture(UINT width, UINT height, UINT levels, D3DFORMAT format,
                         int failLockAtLevel)
    : m_format(format), m_failLockAtLevel(failLockAtLevel) {
  if (levels == 0) {  // full chain, as Direct3D does
    levels = 1;
    for (UINT side = std::max(width, height); side > 1; side /= 2) ++levels;
  }
  for (UINT i = 0; i < levels; ++i) {
    Level level;
    level.width = std::max(1u, width >> i);
    level.height = std::max(1u, height >> i);
    level.pitch = static_cast<INT>(level.width * 4) + kPitchPadding;
    level.bytes.assign(static_cast<std::size_t>(level.pitch) * level.height, 0xCD);
    m_levels.push_back(std::move(level));
  }
}

HRESULT FakeTexture::QueryInterface(REFIID, void** object) {
  if (object) *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT FakeTexture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
  if (level >= m_levels.size() || !desc) return D3DERR_INVALIDCALL;
  *desc = D3DSURFACE_DESC{};
  desc->Format = m_format;
  desc->Type = D3DRTYPE_TEXTURE;
  desc->Width = m_levels[level].width;
  desc->Height = m_levels[level].height;
  return D3D_OK;
}

HRESULT FakeTexture::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
  if (level >= m_levels.size() || !locked || m_levels[level].locked) return D3DERR_INVALIDCALL;
  if (static_cast<int>(level) == m_failLockAtLevel) return D3DERR_INVALIDCALL;
  lockFlags.push_back(flags);
  lockRectWasNull.push_back(rect == nullptr);
  m_levels[level].locked = true;
  m_levels[level].written = true;
  locked->Pitch = m_levels[level].pitch;
  locked->pBits = m_levels[level].bytes.data();
  return D3D_OK;
}

HRESULT FakeTexture::UnlockRect(UINT level) {
  if (level >= m_levels.size() || !m_levels[level].locked) return D3DERR_INVALIDCALL;
  m_levels[level].locked = false;
  return D3D_OK;
}

std::uint32_t FakeTexture::Pixel(UINT level, UINT x, UINT y) const {
  const Level& l = m_levels.at(level);
  const std::uint8_t* p =
      l.bytes.data() + static_cast<std::size_t>(y) * l.pitch + std::size_t(x) * 4;
  return (std::uint32_t(p[3]) << 24) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) |
         p[0];
}

HRESULT FakeDevice::GetDeviceCaps(D3DCAPS9* caps) {
  ++getDeviceCapsCalls;
  if (!caps) return D3DERR_INVALIDCALL;
  *caps = D3DCAPS9{};
  caps->DeviceType = D3DDEVTYPE_HAL;
  caps->MaxTextureWidth = maxTextureWidth;
  caps->MaxTextureHeight = maxTextureHeight;
  return D3D_OK;
}

HRESULT FakeDevice::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage,
                                  D3DFORMAT format, D3DPOOL pool, IDirect3DTexture9** texture,
                                  HANDLE* shared) {
  createCalls.push_back({width, height, levels, usage, format, pool});
  if (!texture || shared) return D3DERR_INVALIDCALL;
  *texture = nullptr;
  if (FAILED(createTextureResult)) return createTextureResult;
  textures.push_back(std::make_unique<FakeTexture>(width, height, levels, format, failLockAtLevel));
  *texture = textures.back().get();
  return D3D_OK;
}

}  // namespace fake_d3d9
