// IDirect3DVertexBuffer9 of the Linux layer: CPU copy, locking, upload and the
// cached vertex arrays.
#include "d3d9/vertex_buffer.h"

#include "d3d9/device.h"
#include "d3d9/log.h"
#include "d3d9/translate.h"

#include <new>

namespace platform {

HRESULT VertexBuffer::Create(Device* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                             VertexBuffer** buffer) {
  if (length == 0 || pool == D3DPOOL_SCRATCH || pool > D3DPOOL_SCRATCH) return D3DERR_INVALIDCALL;
  if (fvf) {
    const FvfLayout layout = FvfLayoutFromD3D(fvf);
    if (layout.valid && length < layout.size) return D3DERR_INVALIDCALL;
  }
  try {
    *buffer = new VertexBuffer(device, length, usage);
  } catch (const std::bad_alloc&) {  // a COM method never throws
    return E_OUTOFMEMORY;
  }
  return D3D_OK;
}

VertexBuffer::VertexBuffer(Device* device, UINT length, DWORD usage)
    : DeviceResource(device), m_usage(usage), m_bytes(length, 0) {
  m_vertexArrays.reserve(4);
  if (m_device->MakeCurrent() && !m_glBuffer) RecreateGlObjects();  // as in Texture's
}

// The old vertex arrays went with the lost context; clear() keeps the room.
void VertexBuffer::RecreateGlObjects() {
  m_vertexArrays.clear();
  m_glBuffer = m_device->Renderer().CreateBuffer(Length(), m_bytes.data(),
                                                 (m_usage & D3DUSAGE_DYNAMIC) != 0);
}

VertexBuffer::~VertexBuffer() {
  if (!m_device->MakeCurrent()) return;
  GlRenderer& renderer = m_device->Renderer();
  for (const VertexArray& array : m_vertexArrays) renderer.DeleteVertexArray(array.vao);
  if (m_glBuffer) renderer.DeleteBuffer(m_glBuffer);
}

HRESULT VertexBuffer::QueryInterface(REFIID, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  D3D9_LOG_ONCE("IDirect3DVertexBuffer9::QueryInterface is not supported");
  return E_NOINTERFACE;
}

ULONG VertexBuffer::AddRef() { return AddRefPublic(); }

ULONG VertexBuffer::Release() { return ReleasePublic(); }

HRESULT VertexBuffer::Lock(UINT offsetToLock, UINT sizeToLock, void** data, DWORD flags) {
  if (!data) return D3DERR_INVALIDCALL;
  *data = nullptr;
  const UINT length = Length();
  if (offsetToLock >= length) return D3DERR_INVALIDCALL;
  // Size 0 locks from the offset to the end.
  const UINT size = sizeToLock ? sizeToLock : length - offsetToLock;
  if (size > length - offsetToLock) return D3DERR_INVALIDCALL;
  if (!(flags & D3DLOCK_READONLY)) {
    if (m_dirtyEnd == m_dirtyBegin) {
      m_dirtyBegin = offsetToLock;
      m_dirtyEnd = offsetToLock + size;
    } else {
      if (offsetToLock < m_dirtyBegin) m_dirtyBegin = offsetToLock;
      if (offsetToLock + size > m_dirtyEnd) m_dirtyEnd = offsetToLock + size;
    }
  }
  ++m_lockCount;
  *data = m_bytes.data() + offsetToLock;
  return D3D_OK;
}

HRESULT VertexBuffer::Unlock() {
  // Unlocking an unlocked buffer succeeds and does nothing, as on Wine.
  if (m_lockCount == 0) return D3D_OK;
  if (--m_lockCount > 0) return D3D_OK;
  if (m_dirtyEnd > m_dirtyBegin && m_device->MakeCurrent()) {
    m_device->Renderer().UploadBuffer(m_glBuffer, m_dirtyBegin, m_dirtyEnd - m_dirtyBegin,
                                      m_bytes.data() + m_dirtyBegin);
  }
  m_dirtyBegin = m_dirtyEnd = 0;
  return D3D_OK;
}

GLuint VertexBuffer::VertexArrayFor(DWORD fvf, const FvfLayout& layout, UINT stride, UINT offset) {
  for (const VertexArray& array : m_vertexArrays) {
    if (array.fvf == fvf && array.stride == stride && array.offset == offset) return array.vao;
  }
  const GLuint vao = m_device->Renderer().CreateVertexArray(m_glBuffer, layout, stride, offset);
  m_vertexArrays.push_back(VertexArray{fvf, stride, offset, vao});
  return vao;
}

}  // namespace platform
