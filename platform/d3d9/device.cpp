// IDirect3DDevice9 of the Linux layer: argument checks, state setters,
// resource creation, scenes, clears, draws and presentation.
#include "d3d9/device.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "d3d9/d3d9_hooks.h"
#include "d3d9/device_caps.h"
#include "d3d9/direct3d9.h"
#include "d3d9/first_frame.h"
#include "d3d9/gl_functions.h"
#include "d3d9/log.h"
#include "d3d9/texture.h"
#include "d3d9/translate.h"
#include "d3d9/vertex_buffer.h"

namespace platform {
namespace {

// The fixed-function pipeline's texture stages, and the pixel samplers.
constexpr DWORD kTextureStageCount = 8;
constexpr DWORD kPixelSamplerCount = 16;

GLenum GlDepthFormatFromD3D(const D3DPRESENT_PARAMETERS& params) {
  if (!params.EnableAutoDepthStencil) return 0;
  switch (params.AutoDepthStencilFormat) {
    case D3DFMT_D16: return GL_DEPTH_COMPONENT16;
    case D3DFMT_D24X8: return GL_DEPTH_COMPONENT24;
    case D3DFMT_D32: return GL_DEPTH_COMPONENT32;
    default: return GL_DEPTH24_STENCIL8;
  }
}

int DepthBitsFromD3D(const D3DPRESENT_PARAMETERS& params) {
  if (!params.EnableAutoDepthStencil) return 0;
  return params.AutoDepthStencilFormat == D3DFMT_D16   ? 16
         : params.AutoDepthStencilFormat == D3DFMT_D32 ? 32
                                                       : 24;
}

}  // namespace

Device::Device(Direct3D9* d3d, const D3DPRESENT_PARAMETERS& params)
    : m_d3d(d3d),
      m_params(params),
      m_maxTextureSize(d3d->MaxTextureSize()),
      m_state(params.EnableAutoDepthStencil != FALSE) {
  m_d3d->AddRef();
}

Device::~Device() {
  const bool current = MakeCurrent();
  // Unbinding may free resources whose program references are gone; they
  // delete their GL objects through the renderer, so this comes first.
  if (Texture* texture = m_state.BoundTexture()) {
    m_state.SetTexture(nullptr);
    texture->ReleasePrivate();
  }
  if (VertexBuffer* buffer = m_state.StreamBuffer()) {
    m_state.SetStreamSource(nullptr, 0, 0);
    buffer->ReleasePrivate();
  }
  if (current) m_renderer.Shutdown();
  DestroyGlContext(m_context);
  m_d3d->Release();
}

HRESULT Device::Create(Direct3D9* d3d, HWND window, DWORD behaviorFlags,
                       D3DPRESENT_PARAMETERS* params, Device** device) {
  (void)behaviorFlags;  // vertex processing always runs in the GL vertex shader
  int windowWidth = 0;
  int windowHeight = 0;
  GlWindowSize(window, &windowWidth, &windowHeight);
  if (params->BackBufferWidth == 0) params->BackBufferWidth = static_cast<UINT>(windowWidth);
  if (params->BackBufferHeight == 0) params->BackBufferHeight = static_cast<UINT>(windowHeight);
  if (params->BackBufferCount == 0) params->BackBufferCount = 1;
  if (params->BackBufferFormat == D3DFMT_UNKNOWN) params->BackBufferFormat = D3DFMT_X8R8G8B8;
  if (params->BackBufferWidth == 0 || params->BackBufferHeight == 0 ||
      params->BackBufferWidth > d3d->MaxTextureSize() ||
      params->BackBufferHeight > d3d->MaxTextureSize()) {
    return D3DERR_INVALIDCALL;
  }

  // Immediate presentation unless the program asks for the display's pace.
  const bool vsync = params->PresentationInterval == D3DPRESENT_INTERVAL_ONE ||
                     params->PresentationInterval == D3DPRESENT_INTERVAL_DEFAULT;
  std::string error;
  GlContext* context = CreateGlContext(window, DepthBitsFromD3D(*params), vsync, &error);
  if (!context) {
    std::fprintf(stderr, "Direct3D 9 layer: %s\n", error.c_str());
    return D3DERR_NOTAVAILABLE;
  }

  Device* created = new Device(d3d, *params);
  created->m_context = context;
  int drawableWidth = 0;
  int drawableHeight = 0;
  bool fixedSize = false;
  GlDrawableSize(context, &drawableWidth, &drawableHeight, &fixedSize);
  // The window's framebuffer is the back buffer when it can be (see
  // gl_renderer.h): same size, not resizable, 8-bit colour asked.
  const bool eightBitColour =
      params->BackBufferFormat == D3DFMT_X8R8G8B8 || params->BackBufferFormat == D3DFMT_A8R8G8B8;
  const bool windowMatches =
      eightBitColour && drawableWidth == static_cast<int>(params->BackBufferWidth) &&
      drawableHeight == static_cast<int>(params->BackBufferHeight) && fixedSize;
  if (!created->m_renderer.Init(params->BackBufferWidth, params->BackBufferHeight,
                                GlDepthFormatFromD3D(*params), windowMatches,
                                params->BackBufferFormat == D3DFMT_A8R8G8B8, &error)) {
    std::fprintf(stderr, "Direct3D 9 layer: cannot set up the device: %s\n", error.c_str());
    created->Release();
    return D3DERR_NOTAVAILABLE;
  }
  *device = created;
  return D3D_OK;
}

GlContextStatus Device::Current() {
  const GlContextStatus status = MakeGlContextCurrent(m_context);
  if (status != GlContextStatus::kRestored) return status;
  RecreateGlObjects();
  return GlContextStatus::kCurrent;
}

bool Device::MakeCurrent() { return Current() == GlContextStatus::kCurrent; }

void Device::RecreateGlObjects() {
  std::string error;
  if (!m_renderer.Recreate(&error))
    D3D9Log("the device could not be set up again on the restored context: %s", error.c_str());
  m_resources.RecreateGlObjects();
  m_state.MarkDirty(kDirtyAll);
  m_presentedValid = false;
  D3D9_VERBOSE_ONCE("the context came back: the device made its GL objects and %d resources again",
                    m_resources.Count());
}

HRESULT Device::QueryInterface(REFIID, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  D3D9_LOG_ONCE("IDirect3DDevice9::QueryInterface is not supported");
  return E_NOINTERFACE;
}

ULONG Device::AddRef() { return ++m_refCount; }

ULONG Device::Release() {
  if (m_refCount == 0) return 0;
  const ULONG count = --m_refCount;
  if (count == 0) delete this;
  return count;
}

HRESULT Device::GetDeviceCaps(D3DCAPS9* caps) {
  if (!caps) return D3DERR_INVALIDCALL;
  FillDeviceCaps(m_maxTextureSize, caps);
  return D3D_OK;
}

HRESULT Device::Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                        const RGNDATA* dirtyRegion) {
  if (sourceRect || destRect || destWindowOverride || dirtyRegion) {
    D3D9_LOG_ONCE("Present: rectangles, regions and window overrides are ignored");
  }
  const GlContextStatus status = Current();
  if (status == GlContextStatus::kGone) return D3DERR_DEVICELOST;
  // A lost context shows nothing, but the browser still gets its turn.
  if (status == GlContextStatus::kLost) {
    PresentGlContext(m_context);
    return D3D_OK;
  }
  if (!m_renderer.DrawsIntoWindow()) {
    int width = 0;
    int height = 0;
    GlDrawableSize(m_context, &width, &height, nullptr);
    m_renderer.BlitToWindow(width, height);
  } else if (m_keepPresented) {
    // Once read back, keep each frame as it was before the swap: the tools
    // read it after Present, when the window's back buffer is undefined.
    m_renderer.ReadBackBuffer(&m_presented);
    m_presentedValid = true;
  }
  m_drawnSincePresent = false;
  PresentGlContext(m_context);
  NotePresented();
  return D3D_OK;
}

HRESULT Device::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                              D3DPOOL pool, IDirect3DTexture9** texture, HANDLE* sharedHandle) {
  if (!texture) return D3DERR_INVALIDCALL;
  *texture = nullptr;
  if (sharedHandle) return D3DERR_INVALIDCALL;
  // On a lost context the texture lives in memory until the context is back.
  if (Current() == GlContextStatus::kGone) return D3DERR_DEVICELOST;
  Texture* created = nullptr;
  const HRESULT hr = Texture::Create(this, width, height, levels, usage, format, pool, &created);
  if (SUCCEEDED(hr)) *texture = created;
  return hr;
}

HRESULT Device::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                   IDirect3DVertexBuffer9** vertexBuffer, HANDLE* sharedHandle) {
  if (!vertexBuffer) return D3DERR_INVALIDCALL;
  *vertexBuffer = nullptr;
  if (sharedHandle) return D3DERR_INVALIDCALL;
  if (Current() == GlContextStatus::kGone) return D3DERR_DEVICELOST;
  VertexBuffer* created = nullptr;
  const HRESULT hr = VertexBuffer::Create(this, length, usage, fvf, pool, &created);
  if (SUCCEEDED(hr)) *vertexBuffer = created;
  return hr;
}

HRESULT Device::BeginScene() {
  if (CurrentD3DFaults().beginSceneFails) return D3DERR_INVALIDCALL;
  if (m_inScene) return D3DERR_INVALIDCALL;
  m_inScene = true;
  return D3D_OK;
}

HRESULT Device::EndScene() {
  if (!m_inScene) return D3DERR_INVALIDCALL;
  m_inScene = false;
  return D3D_OK;
}

HRESULT Device::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                      DWORD stencil) {
  (void)stencil;  // the back buffer's stencil bits are never read
  if (count && !rects) return D3DERR_INVALIDCALL;
  if ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) && !m_params.EnableAutoDepthStencil) {
    return D3DERR_INVALIDCALL;
  }
  const GlContextStatus status = Current();
  if (status != GlContextStatus::kCurrent) {
    return status == GlContextStatus::kLost ? D3D_OK : D3DERR_DEVICELOST;
  }
  m_drawnSincePresent = true;
  m_renderer.Clear(flags, color, z, rects, count);
  return D3D_OK;
}

HRESULT Device::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
  if (!matrix) return D3DERR_INVALIDCALL;
  if (m_state.SetTransform(state, *matrix)) return D3D_OK;
  const DWORD type = static_cast<DWORD>(state);
  if ((type >= D3DTS_TEXTURE0 && type <= D3DTS_TEXTURE7) ||
      (type > D3DTS_WORLD && type <= D3DTS_WORLDMATRIX(255))) {
    D3D9_LOG_ONCE("SetTransform: texture and extra world matrices are ignored");
    return D3D_OK;
  }
  return D3DERR_INVALIDCALL;
}

HRESULT Device::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
  return m_state.SetRenderState(static_cast<DWORD>(state), value) ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT Device::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) {
  Texture* ours = nullptr;
  if (texture) {
    ours = dynamic_cast<Texture*>(texture);
    if (!ours || ours->OwnerDevice() != this) return D3DERR_INVALIDCALL;
  }
  if (stage != 0) {
    if (stage >= kTextureStageCount) return D3DERR_INVALIDCALL;
    // Stages 1 to 7 stay disabled: nothing would sample them.
    D3D9_LOG_ONCE("SetTexture: only stage 0 is drawn");
    return D3D_OK;
  }
  Texture* previous = m_state.BoundTexture();
  if (ours == previous) return D3D_OK;
  if (ours) ours->AddRefPrivate();
  m_state.SetTexture(ours);
  if (previous) {
    MakeCurrent();
    previous->ReleasePrivate();
  }
  return D3D_OK;
}

HRESULT Device::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) {
  if (sampler != 0) {
    // Pixel samplers 0 to 15; the displacement-map and vertex samplers
    // (D3DDMAPSAMPLER and up) are not supported.
    if (sampler >= kPixelSamplerCount) return D3DERR_INVALIDCALL;
    D3D9_LOG_ONCE("SetSamplerState: only sampler 0 is used");
    return D3D_OK;
  }
  return m_state.SetSamplerState(static_cast<DWORD>(type), value) ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT Device::SetFVF(DWORD fvf) {
  m_state.SetFvf(fvf);
  return D3D_OK;
}

HRESULT Device::SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer9* streamData,
                                UINT offsetInBytes, UINT stride) {
  if (streamNumber != 0) return D3DERR_INVALIDCALL;  // MaxStreams is 1
  VertexBuffer* ours = nullptr;
  if (streamData) {
    ours = dynamic_cast<VertexBuffer*>(streamData);
    if (!ours || ours->OwnerDevice() != this) return D3DERR_INVALIDCALL;
  }
  if (offsetInBytes % 4 != 0) return D3DERR_INVALIDCALL;
  VertexBuffer* previous = m_state.StreamBuffer();
  if (ours && ours != previous) ours->AddRefPrivate();
  m_state.SetStreamSource(ours, offsetInBytes, stride);
  if (previous && previous != ours) {
    MakeCurrent();
    previous->ReleasePrivate();
  }
  return D3D_OK;
}

HRESULT Device::DrawPrimitive(D3DPRIMITIVETYPE primitiveType, UINT startVertex,
                              UINT primitiveCount) {
  const std::optional<GLenum> mode = GlPrimitiveFromD3D(primitiveType);
  if (!mode) return D3DERR_INVALIDCALL;
  if (primitiveCount == 0) return D3D_OK;
  VertexBuffer* buffer = m_state.StreamBuffer();
  if (!buffer) {
    D3D9_LOG_ONCE("DrawPrimitive without a vertex buffer on stream 0");
    return D3DERR_INVALIDCALL;
  }
  // The layout and the vertex array change only with the stream or the FVF.
  if (m_state.Dirty() & kDirtyStream) m_streamLayout = FvfLayoutFromD3D(m_state.Fvf());
  const FvfLayout& layout = m_streamLayout;
  if (!layout.valid) {
    D3D9_LOG_ONCE("DrawPrimitive: vertex format 0x%x is not supported", m_state.Fvf());
    return D3DERR_INVALIDCALL;
  }
  const UINT stride = m_state.StreamStride();
  if (stride < layout.size) return D3DERR_INVALIDCALL;
  const UINT vertexCount = VertexCountFromPrimitives(primitiveType, primitiveCount);
  const uint64_t end = static_cast<uint64_t>(m_state.StreamOffset()) +
                       (static_cast<uint64_t>(startVertex) + vertexCount - 1) * stride +
                       layout.size;
  if (end > buffer->Length() || vertexCount > 0x7fffffffu || startVertex > 0x7fffffffu) {
    return D3DERR_INVALIDCALL;
  }
  if (m_state.RenderState(D3DRS_LIGHTING) && !layout.hasNormal) {
    // Without normals Direct3D lights nothing but the ambient and emissive
    // terms; the program turns lighting off, so draw unlit.
    D3D9_LOG_ONCE("lighting is on: drawing unlit");
  } else if (m_state.RenderState(D3DRS_LIGHTING)) {
    D3D9_LOG_ONCE("lighting is not supported: drawing unlit");
  }
  if (m_state.RenderState(D3DRS_ALPHATESTENABLE)) D3D9_LOG_ONCE("alpha testing is not supported");
  const GlContextStatus status = Current();
  if (status != GlContextStatus::kCurrent) {
    return status == GlContextStatus::kLost ? D3D_OK : D3DERR_DEVICELOST;
  }
  // Read only now: a context made again in Current() leaves everything dirty.
  const uint32_t dirty = m_state.Dirty();
  if (dirty & kDirtyStream) m_streamVao = 0;
  if (!m_streamVao) {
    m_streamVao = buffer->VertexArrayFor(m_state.Fvf(), layout, stride, m_state.StreamOffset());
  }
  if (dirty & ~kDirtyStream) {
    if ((dirty & kDirtyFog) && m_state.RenderState(D3DRS_FOGENABLE) &&
        m_state.RenderState(D3DRS_FOGTABLEMODE) == D3DFOG_NONE &&
        m_state.RenderState(D3DRS_FOGVERTEXMODE) != D3DFOG_NONE) {
      D3D9_LOG_ONCE("vertex fog is drawn as table fog");
    }
    GlDrawStateFromD3D(m_state, dirty, m_params.EnableAutoDepthStencil != FALSE, &m_glState);
  }
  const Texture* texture = m_state.BoundTexture();
  m_drawnSincePresent = true;
  m_renderer.Draw(m_glState, dirty & ~kDirtyStream, m_streamVao, texture ? texture->GlName() : 0,
                  *mode, static_cast<GLint>(startVertex), static_cast<GLsizei>(vertexCount));
  m_state.ClearDirty(dirty);
  return D3D_OK;
}

bool Device::ReadBack(std::vector<uint8_t>* rgba, int* width, int* height) {
  if (!MakeCurrent()) return false;
  if (m_drawnSincePresent || !m_renderer.DrawsIntoWindow()) {
    m_renderer.ReadBackBuffer(rgba);
  } else if (m_presentedValid) {
    *rgba = m_presented;
  } else {
    // The first read after a swap: what the window shows is that frame.
    m_renderer.ReadBackBuffer(rgba, true);
    m_keepPresented = true;
  }
  if (width) *width = static_cast<int>(m_renderer.Width());
  if (height) *height = static_cast<int>(m_renderer.Height());
  return true;
}

}  // namespace platform
