// IDirect3DDevice9: a windowed device drawing into its back buffer (the
// window's own framebuffer when it can serve, else a GL framebuffer object of
// the back-buffer size; see gl_renderer.h) in an OpenGL 3.3 core context on
// the device window. Setters only store Direct3D state (device_state.h); a
// draw turns what is dirty into GL values (translate.h) and hands those to
// the renderer. Present copies a framebuffer object into the window if there
// is one, and presents through gl_context.h (a swap on the desktop, a yield
// to the browser in a page). Once the back buffer has been read after a
// Present, each Present keeps a copy of the frame before the swap for the
// next read-back.
//
// A lost context (only a page's is ever lost; see gl_context.h) drops the
// frames: clears and draws do nothing and succeed, Present still yields to
// the browser, and resources are still made and filled in memory. When the
// context comes back the device makes every GL object again before its next
// GL call (the renderer's, then each resource's from what it holds) and
// marks all of its state dirty, so the next draw sets everything: to the
// program the device was never lost, and it is never reset.
//
// Reference counting: resources hold a reference on the device while the
// program holds one on them, so the device outlives its resources; the device
// holds a reference on its IDirect3D9. SetTexture and SetStreamSource hold a
// private reference on what they bind, released when unbound or when the
// device goes.
//
// Limits: the subset in d3d9.h; calls on missing objects or with bad
// arguments return D3DERR_INVALIDCALL and draw nothing.
#pragma once

#include <d3d9.h>

#include <cstdint>
#include <vector>

#include "d3d9/device_resource.h"
#include "d3d9/device_state.h"
#include "d3d9/gl_context.h"
#include "d3d9/gl_renderer.h"

namespace platform {

class Direct3D9;

class Device final : public IDirect3DDevice9 {
 public:
  // Makes the GL context on `window`, the back buffer and the renderer.
  // Writes the real back-buffer size and count back into *params.
  static HRESULT Create(Direct3D9* d3d, HWND window, DWORD behaviorFlags,
                        D3DPRESENT_PARAMETERS* params, Device** device);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetDeviceCaps(D3DCAPS9* caps) override;
  HRESULT STDMETHODCALLTYPE Present(const RECT* sourceRect, const RECT* destRect,
                                    HWND destWindowOverride, const RGNDATA* dirtyRegion) override;
  HRESULT STDMETHODCALLTYPE CreateTexture(UINT width, UINT height, UINT levels, DWORD usage,
                                          D3DFORMAT format, D3DPOOL pool,
                                          IDirect3DTexture9** texture,
                                          HANDLE* sharedHandle) override;
  HRESULT STDMETHODCALLTYPE CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                               IDirect3DVertexBuffer9** vertexBuffer,
                                               HANDLE* sharedHandle) override;
  HRESULT STDMETHODCALLTYPE BeginScene() override;
  HRESULT STDMETHODCALLTYPE EndScene() override;
  HRESULT STDMETHODCALLTYPE Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color,
                                  float z, DWORD stencil) override;
  HRESULT STDMETHODCALLTYPE SetTransform(D3DTRANSFORMSTATETYPE state,
                                         const D3DMATRIX* matrix) override;
  HRESULT STDMETHODCALLTYPE SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
  HRESULT STDMETHODCALLTYPE SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override;
  HRESULT STDMETHODCALLTYPE SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type,
                                            DWORD value) override;
  HRESULT STDMETHODCALLTYPE DrawPrimitive(D3DPRIMITIVETYPE primitiveType, UINT startVertex,
                                          UINT primitiveCount) override;
  HRESULT STDMETHODCALLTYPE SetFVF(DWORD fvf) override;
  HRESULT STDMETHODCALLTYPE SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer9* streamData,
                                            UINT offsetInBytes, UINT stride) override;

  // Makes the device's context current, first making the GL objects again
  // if it came back after a loss. False while the context is lost, and once
  // it or the windowing system is gone (at process exit): callers then skip
  // their GL work.
  bool MakeCurrent();
  // What a context that came back after a loss needs: every GL object of the
  // device and its resources made again, and all state dirty.
  void RecreateGlObjects();
  GlRenderer& Renderer() { return m_renderer; }
  DeviceResourceList& Resources() { return m_resources; }
  UINT MaxTextureSize() const { return m_maxTextureSize; }
  bool ReadBack(std::vector<uint8_t>* rgba, int* width, int* height);
  // Read-only view for tests and tools.
  const DeviceState& State() const { return m_state; }

 private:
  Device(Direct3D9* d3d, const D3DPRESENT_PARAMETERS& params);
  ~Device();
  // MakeCurrent's answer, lost and gone told apart (kRestored is handled).
  GlContextStatus Current();

  Direct3D9* m_d3d;
  GlContext* m_context = nullptr;
  D3DPRESENT_PARAMETERS m_params;
  UINT m_maxTextureSize;
  // Read-back after Present (see ReadBack): the frame as it was before the swap.
  bool m_drawnSincePresent = true;
  bool m_keepPresented = false;
  bool m_presentedValid = false;
  std::vector<uint8_t> m_presented;
  bool m_inScene = false;
  DeviceState m_state;
  // Derived from m_state when its dirty bits say so: the stream's layout and
  // vertex array (kDirtyStream, looked up again on the next draw when 0) and
  // the GL values of everything else.
  FvfLayout m_streamLayout;
  GLuint m_streamVao = 0;
  GlDrawState m_glState;
  GlRenderer m_renderer;
  DeviceResourceList m_resources;
  ULONG m_refCount = 1;
};

}  // namespace platform
