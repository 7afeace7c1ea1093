// In-memory device and texture doubles for texture loading (see fake_d3d9.h).
#include "fake_d3d9.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace fake_d3d9 {

FakeTexture::FakeTexture(FakeDevice* device, UINT width, UINT height, UINT levels, D3DFORMAT format,
                         INT rowPadding, int failLockAtLevel)
    : m_device(device),
      m_format(format),
      m_rowPadding(rowPadding),
      m_failLockAtLevel(failLockAtLevel) {
  if (levels == 0) {  // the full chain, as Direct3D does
    levels = 1;
    for (UINT side = std::max(width, height); side > 1; side /= 2) ++levels;
  }
  for (UINT i = 0; i < levels; ++i) {
    Level level;
    level.width = std::max(1u, width >> i);
    level.height = std::max(1u, height >> i);
    level.pitch = static_cast<INT>(level.width * 4) + rowPadding;
    // Exactly pitch * height: a write past the last row is a heap overflow.
    level.bytes.assign(static_cast<std::size_t>(level.pitch) * level.height, kPaddingByte);
    m_levels.push_back(std::move(level));
  }
}

HRESULT FakeTexture::QueryInterface(REFIID, void** object) {
  if (object) *object = nullptr;
  return E_NOINTERFACE;
}

ULONG FakeTexture::Release() {
  if (m_refCount == 0) {
    m_device->Misuse("texture released more often than referenced");
    return 0;
  }
  if (--m_refCount == 0) CheckIntact();
  return m_refCount;
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
  if (!locked) return m_device->Misuse("LockRect without an output");
  if (level >= m_levels.size()) return m_device->Misuse("LockRect of a level that does not exist");
  if (m_levels[level].locked) return m_device->Misuse("LockRect of a level already locked");
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
  if (level >= m_levels.size() || !m_levels[level].locked)
    return m_device->Misuse("UnlockRect of a level that is not locked");
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

bool FakeTexture::CheckIntact() const {
  for (const Level& level : m_levels) {
    if (level.locked) {
      m_device->Misuse("texture level left locked");
      return false;
    }
    const std::size_t rowBytes = static_cast<std::size_t>(level.width) * 4;
    for (UINT y = 0; y < level.height; ++y) {
      const std::uint8_t* pad =
          level.bytes.data() + static_cast<std::size_t>(y) * level.pitch + rowBytes;
      for (INT i = 0; i < m_rowPadding; ++i) {
        if (pad[i] != kPaddingByte) {
          m_device->Misuse("the row padding was written");
          return false;
        }
      }
    }
  }
  return true;
}

int FakeDevice::LiveTextures() const {
  return static_cast<int>(std::count_if(textures.begin(), textures.end(),
                                        [](const auto& t) { return t->RefCount() > 0; }));
}

HRESULT FakeDevice::Misuse(const std::string& what, HRESULT result) {
  if (m_options.abortOnMisuse) {
    std::fprintf(stderr, "fake device: %s\n", what.c_str());
    std::abort();
  }
  m_misuse.push_back(what);
  return result;
}

HRESULT FakeDevice::QueryInterface(REFIID, void** object) {
  if (object) *object = nullptr;
  return E_NOINTERFACE;
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
  const CreateTextureCall call{width, height, levels, usage, format, pool};
  createCalls.push_back(call);
  if (onCreate) onCreate(call);
  if (!texture) return Misuse("CreateTexture without an output");
  *texture = nullptr;
  if (shared) return Misuse("CreateTexture with a shared handle");
  if (FAILED(createTextureResult)) return createTextureResult;
  if (width == 0 || height == 0 || width > maxTextureWidth || height > maxTextureHeight)
    return D3DERR_INVALIDCALL;
  if (format != D3DFMT_A8R8G8B8 && format != D3DFMT_X8R8G8B8) return D3DERR_INVALIDCALL;
  textures.push_back(std::make_unique<FakeTexture>(this, width, height, levels, format,
                                                   m_options.rowPadding, failLockAtLevel));
  *texture = textures.back().get();
  return D3D_OK;
}

}  // namespace fake_d3d9
