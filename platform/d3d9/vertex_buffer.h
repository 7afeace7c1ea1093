// IDirect3DVertexBuffer9: a CPU copy of the vertices that Lock hands out, and
// a GL buffer that the last Unlock fills from the bytes written. The vertex
// arrays that draw from it are made on first use for each (FVF, stride,
// offset) and kept with the buffer, so a warm draw allocates nothing. On a
// context that came back after a loss the GL buffer is made again from the
// CPU copy and the vertex arrays again on their next use.
//
// Limits: the pool and the usage flags only pick a GL usage hint; READONLY
// locks upload nothing. Reference counting: device_resource.h.
#pragma once

#include <GL/glcorearb.h>
#include <d3d9.h>

#include "d3d9/device_resource.h"

#include <cstdint>
#include <vector>

namespace platform {

class Device;
struct FvfLayout;

class VertexBuffer final : public DeviceResource, public IDirect3DVertexBuffer9 {
 public:
  static HRESULT Create(Device* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                        VertexBuffer** buffer);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE Lock(UINT offsetToLock, UINT sizeToLock, void** data,
                                 DWORD flags) override;
  HRESULT STDMETHODCALLTYPE Unlock() override;

  UINT Length() const { return static_cast<UINT>(m_bytes.size()); }
  // The vertex array for this layout, made on first use.
  GLuint VertexArrayFor(DWORD fvf, const FvfLayout& layout, UINT stride, UINT offset);
  void RecreateGlObjects() override;

 private:
  struct VertexArray {
    DWORD fvf;
    UINT stride;
    UINT offset;
    GLuint vao;
  };

  VertexBuffer(Device* device, UINT length, DWORD usage);
  ~VertexBuffer() override;

  DWORD m_usage;  // D3DUSAGE_* as created: DYNAMIC picks the GL usage hint
  std::vector<uint8_t> m_bytes;
  std::vector<VertexArray> m_vertexArrays;
  GLuint m_glBuffer = 0;
  UINT m_lockCount = 0;
  UINT m_dirtyBegin = 0;
  UINT m_dirtyEnd = 0;
};

}  // namespace platform
