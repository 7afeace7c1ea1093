// IDirect3DTexture9: a 2-D texture in X8R8G8B8 or A8R8G8B8. Each level keeps
// its pixels in memory (BGRA, pitch = width × 4) for LockRect; UnlockRect
// uploads the level to the GL texture. A new texture reads as zero: its
// memory comes zeroed from the system (not written twice; see LevelMemory),
// and a level that is drawn before it was ever written gets its zeros
// uploaded then. X8R8G8B8 samples with alpha 1.
// On a context that came back after a loss the GL texture is made again from those pixels; while
// the context is lost, locks only write memory.
//
// Limits: no other formats, no render-target or depth usage, no dirty
// sub-rectangles (an unlock uploads the whole level). The pool makes no
// difference. Reference counting: device_resource.h.
#pragma once

#include <GL/glcorearb.h>
#include <d3d9.h>

#include "d3d9/device_resource.h"

#include <cstddef>
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
  // Before the texture is bound for a draw: the levels never written get
  // their zeros on the GL side.
  void UploadUnwrittenLevels() {
    if (m_unwrittenLevels != 0) UploadZeroLevels();
  }
  void RecreateGlObjects() override;

 private:
  struct Level {
    UINT width;
    UINT height;
    size_t offset;
    bool locked;
    bool readOnlyLock;
    bool uploaded;
  };

  Texture(Device* device, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
          D3DPOOL pool);
  ~Texture() override;
  // The GL texture of every level, filled from memory.
  void MakeGlTexture();
  void UploadLevel(UINT level);
  void UploadZeroLevels();

  D3DFORMAT m_format;
  DWORD m_usage;
  D3DPOOL m_pool;
  std::vector<Level> m_levels;
  // The levels' bytes, zero until written. Large ones are a mapping of their
  // own in 2 MiB pages where the system has them (Linux's transparent huge
  // pages): a 4096 x 4096 texture's 85 MB then take 42 page faults, not
  // 21,000, which on this project's virtual machines cost more than the copy.
  class LevelMemory {
   public:
    explicit LevelMemory(size_t size);  // throws std::bad_alloc
    ~LevelMemory();
    LevelMemory(const LevelMemory&) = delete;
    LevelMemory& operator=(const LevelMemory&) = delete;
    uint8_t* get() const { return m_bytes; }

   private:
    uint8_t* m_bytes = nullptr;
    size_t m_mapped = 0;  // 0: from calloc
  };

  LevelMemory m_pixels;
  UINT m_unwrittenLevels = 0;
  GLuint m_glTexture = 0;
};

}  // namespace platform
