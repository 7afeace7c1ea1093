// IDirect3DTexture9 of the Linux layer: level memory, locking and upload.
#include "d3d9/texture.h"

#include "d3d9/device.h"
#include "d3d9/log.h"

#include <new>

namespace platform {
namespace {

UINT FullChainLevels(UINT width, UINT height) {
  UINT levels = 1;
  UINT size = width > height ? width : height;
  while (size > 1) {
    size >>= 1;
    ++levels;
  }
  return levels;
}

}  // namespace

HRESULT Texture::Create(Device* device, UINT width, UINT height, UINT levels, DWORD usage,
                        D3DFORMAT format, D3DPOOL pool, Texture** texture) {
  if (width == 0 || height == 0 || width > device->MaxTextureSize() ||
      height > device->MaxTextureSize()) {
    return D3DERR_INVALIDCALL;
  }
  if (format != D3DFMT_X8R8G8B8 && format != D3DFMT_A8R8G8B8) {
    D3D9_LOG_ONCE("CreateTexture: only X8R8G8B8 and A8R8G8B8 textures are supported (asked for %d)",
                  static_cast<int>(format));
    return D3DERR_INVALIDCALL;
  }
  if (usage & (D3DUSAGE_RENDERTARGET | D3DUSAGE_DEPTHSTENCIL)) {
    D3D9_LOG_ONCE("CreateTexture: render-target and depth textures are not supported");
    return D3DERR_INVALIDCALL;
  }
  if (pool != D3DPOOL_DEFAULT && pool != D3DPOOL_MANAGED && pool != D3DPOOL_SYSTEMMEM &&
      pool != D3DPOOL_SCRATCH) {
    return D3DERR_INVALIDCALL;
  }
  const UINT maxLevels = FullChainLevels(width, height);
  if (levels > maxLevels) return D3DERR_INVALIDCALL;
  if (levels == 0) levels = maxLevels;
  // A COM method never throws: memory the levels cannot have is E_OUTOFMEMORY.
  try {
    *texture = new Texture(device, width, height, levels, usage, format, pool);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  return D3D_OK;
}

Texture::Texture(Device* device, UINT width, UINT height, UINT levels, DWORD usage,
                 D3DFORMAT format, D3DPOOL pool)
    : DeviceResource(device), m_format(format), m_usage(usage), m_pool(pool) {
  size_t offset = 0;
  m_levels.reserve(levels);
  for (UINT level = 0; level < levels; ++level) {
    const UINT w = width >> level ? width >> level : 1;
    const UINT h = height >> level ? height >> level : 1;
    m_levels.push_back(Level{w, h, offset, false, false});
    offset += static_cast<size_t>(w) * h * 4;
  }
  // New Direct3D textures read as zero; GL leaves them undefined.
  m_pixels.assign(offset, 0);
  // A context made again inside MakeCurrent has made this one's already.
  if (m_device->MakeCurrent() && !m_glTexture) MakeGlTexture();
}

void Texture::MakeGlTexture() {
  GlRenderer& renderer = m_device->Renderer();
  const bool opaque = m_format == D3DFMT_X8R8G8B8;
  m_glTexture = renderer.CreateTexture(m_levels[0].width, m_levels[0].height,
                                       static_cast<UINT>(m_levels.size()), opaque);
  for (const Level& level : m_levels) {
    renderer.UploadTextureLevel(m_glTexture, static_cast<UINT>(&level - m_levels.data()),
                                level.width, level.height, m_pixels.data() + level.offset, opaque);
  }
}

void Texture::RecreateGlObjects() { MakeGlTexture(); }

Texture::~Texture() {
  if (m_glTexture && m_device->MakeCurrent()) m_device->Renderer().DeleteTexture(m_glTexture);
}

HRESULT Texture::QueryInterface(REFIID, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  D3D9_LOG_ONCE("IDirect3DTexture9::QueryInterface is not supported");
  return E_NOINTERFACE;
}

ULONG Texture::AddRef() { return AddRefPublic(); }

ULONG Texture::Release() { return ReleasePublic(); }

DWORD Texture::GetLevelCount() { return static_cast<DWORD>(m_levels.size()); }

HRESULT Texture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
  if (level >= m_levels.size() || !desc) return D3DERR_INVALIDCALL;
  desc->Format = m_format;
  desc->Type = D3DRTYPE_SURFACE;
  desc->Usage = m_usage;
  desc->Pool = m_pool;
  desc->MultiSampleType = D3DMULTISAMPLE_NONE;
  desc->MultiSampleQuality = 0;
  desc->Width = m_levels[level].width;
  desc->Height = m_levels[level].height;
  return D3D_OK;
}

HRESULT Texture::LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) {
  if (level >= m_levels.size() || !lockedRect) return D3DERR_INVALIDCALL;
  Level& info = m_levels[level];
  if (info.locked) return D3DERR_INVALIDCALL;
  size_t start = info.offset;
  if (rect) {
    if (rect->left < 0 || rect->top < 0 || rect->right <= rect->left || rect->bottom <= rect->top ||
        static_cast<UINT>(rect->right) > info.width ||
        static_cast<UINT>(rect->bottom) > info.height) {
      return D3DERR_INVALIDCALL;
    }
    start += (static_cast<size_t>(rect->top) * info.width + static_cast<size_t>(rect->left)) * 4;
  }
  info.locked = true;
  info.readOnlyLock = (flags & D3DLOCK_READONLY) != 0;
  lockedRect->Pitch = static_cast<INT>(info.width * 4);
  lockedRect->pBits = m_pixels.data() + start;
  return D3D_OK;
}

HRESULT Texture::UnlockRect(UINT level) {
  if (level >= m_levels.size()) return D3DERR_INVALIDCALL;
  Level& info = m_levels[level];
  if (!info.locked) return D3DERR_INVALIDCALL;
  info.locked = false;
  if (!info.readOnlyLock && m_device->MakeCurrent()) {
    m_device->Renderer().UploadTextureLevel(m_glTexture, level, info.width, info.height,
                                            m_pixels.data() + info.offset,
                                            m_format == D3DFMT_X8R8G8B8);
  }
  return D3D_OK;
}

}  // namespace platform
