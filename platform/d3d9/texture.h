// IDirect3DTexture9: a 2-D texture in X8R8G8B8 or A8R8G8B8. Each level keeps
// its pixels in memory (BGRA, pitch = width × 4) for LockRect; UnlockRect
// uploads the level to the GL texture. X8R8G8B8 samples with alpha 1. On a
// context that came back after a loss the GL texture is made again from
// those pixels; while the context is lost, locks only write memory.
//
// Limits: no other formats, no render-target or depth usage, no dirty
// sub-rectangles (an unlock uploads the whole level). The pool makes no
// difference. Reference counting: device_resource.h.
#pragma once

#include <GL/glcorearb.h>
#include <d3d9.h>

#include "d3d9/device_resource.h"

#include <cstdint>
#include <vector>

namespace platform {

class Device;

class Texture final : public DeviceResource, public IDirect3DTexture9 {
 public:
  // Validates the arguments as CreateTexture does and makes the texture with
  // one public reference.
  static HRESULT Create(Device* device, UINT width, UINT height, UINT levels, DWORD usage,
                        D3DFORMAT format, D3DPOOL pool, Texture** texture);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  DWORD STDMETHODCALLTYPE GetLevelCount() override;
  HRESULT STDMETHODCALLTYPE GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
  HRESULT STDMETHODCALLTYPE LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect,
                                     DWORD flags) override;
  HRESULT STDMETHODCALLTYPE UnlockRect(UINT level) override;

  GLuint GlName() const { return m_glTexture; }
  void RecreateGlObjects() override;

 private:
  struct Level {
    UINT width;
    UINT height;
    size_t offset;
    bool locked;
    bool readOnlyLock;
  };

  Texture(Device* device, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
          D3DPOOL pool);
  ~Texture() override;
  // The GL texture of every level, filled from memory.
  void MakeGlTexture();

  D3DFORMAT m_format;
  DWORD m_usage;
  D3DPOOL m_pool;
  std::vector<Level> m_levels;
  std::vector<uint8_t> m_pixels;
  GLuint m_glTexture = 0;
};

}  // namespace platform
