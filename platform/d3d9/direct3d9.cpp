// Direct3DCreate9 with its one-time OpenGL probe, and the IDirect3D9 object.
#include "d3d9/direct3d9.h"

#include <GL/glcorearb.h>
#include <SDL.h>

#include <cstdio>

#include "d3d9/d3d9_hooks.h"
#include "d3d9/device.h"
#include "d3d9/device_caps.h"
#include "d3d9/log.h"
#include "win32/sdl_window.h"

namespace platform {
namespace {

// Makes a hidden 1 × 1 window with an OpenGL 3.3 core context to learn that
// one can be had, and its largest texture. Remembered once it succeeds.
bool ProbeOpenGl(UINT* maxTextureSize) {
  static UINT s_maxTextureSize = 0;
  if (s_maxTextureSize) {
    *maxTextureSize = s_maxTextureSize;
    return true;
  }
  SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
  SDL_GLContext previousContext = SDL_GL_GetCurrentContext();
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_Window* window = SDL_CreateWindow("", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 1, 1,
                                        SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (!window) {
    std::fprintf(stderr, "Direct3D 9 layer: no OpenGL 3.3 core context: %s\n", SDL_GetError());
    return false;
  }
  SDL_GLContext context = SDL_GL_CreateContext(window);
  if (!context) {
    std::fprintf(stderr, "Direct3D 9 layer: no OpenGL 3.3 core context: %s\n", SDL_GetError());
    SDL_DestroyWindow(window);
    return false;
  }
  GLint size = 0;
  auto getIntegerv = reinterpret_cast<PFNGLGETINTEGERVPROC>(SDL_GL_GetProcAddress("glGetIntegerv"));
  if (getIntegerv) getIntegerv(GL_MAX_TEXTURE_SIZE, &size);
  SDL_GL_DeleteContext(context);
  SDL_DestroyWindow(window);
  if (previousContext) SDL_GL_MakeCurrent(previousWindow, previousContext);
  if (size <= 0) {
    std::fprintf(stderr, "Direct3D 9 layer: no OpenGL 3.3 core context: glGetIntegerv failed\n");
    return false;
  }
  s_maxTextureSize = static_cast<UINT>(size);
  *maxTextureSize = s_maxTextureSize;
  return true;
}

bool IsDisplayFormat(D3DFORMAT format) {
  return format == D3DFMT_X8R8G8B8 || format == D3DFMT_A8R8G8B8 || format == D3DFMT_R5G6B5;
}

bool IsDepthFormat(D3DFORMAT format) {
  return format == D3DFMT_D16 || format == D3DFMT_D24S8 || format == D3DFMT_D24X8;
}

}  // namespace

HRESULT Direct3D9::QueryInterface(REFIID, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  D3D9_LOG_ONCE("IDirect3D9::QueryInterface is not supported");
  return E_NOINTERFACE;
}

ULONG Direct3D9::AddRef() { return ++m_refCount; }

ULONG Direct3D9::Release() {
  if (m_refCount == 0) return 0;
  const ULONG count = --m_refCount;
  if (count == 0) delete this;
  return count;
}

HRESULT Direct3D9::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) {
  if (adapter != D3DADAPTER_DEFAULT || !mode) return D3DERR_INVALIDCALL;
  if (CurrentD3DFaults().displayModeFails) return D3DERR_NOTAVAILABLE;
  // GetSystemMetrics so that a test's screen-size override shows here too.
  mode->Width = static_cast<UINT>(GetSystemMetrics(SM_CXSCREEN));
  mode->Height = static_cast<UINT>(GetSystemMetrics(SM_CYSCREEN));
  SDL_DisplayMode desktop;
  const bool known = SDL_GetDesktopDisplayMode(0, &desktop) == 0 && desktop.refresh_rate > 0;
  mode->RefreshRate = known ? static_cast<UINT>(desktop.refresh_rate) : 60;
  mode->Format = D3DFMT_X8R8G8B8;
  return D3D_OK;
}

HRESULT Direct3D9::CheckDeviceFormat(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat,
                                     DWORD usage, D3DRESOURCETYPE resourceType,
                                     D3DFORMAT checkFormat) {
  if (adapter != D3DADAPTER_DEFAULT) return D3DERR_INVALIDCALL;
  if (deviceType != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
  const HRESULT fault = CurrentD3DFaults().checkDepthFormatResult;
  if (checkFormat == D3DFMT_D16 && fault != S_OK) return fault;
  if (!IsDisplayFormat(adapterFormat)) return D3DERR_NOTAVAILABLE;
  if (IsDepthFormat(checkFormat)) {
    const bool ok = (usage & D3DUSAGE_DEPTHSTENCIL) && resourceType == D3DRTYPE_SURFACE &&
                    !(usage & ~D3DUSAGE_DEPTHSTENCIL);
    return ok ? D3D_OK : D3DERR_NOTAVAILABLE;
  }
  if (checkFormat == D3DFMT_X8R8G8B8 || checkFormat == D3DFMT_A8R8G8B8) {
    const DWORD textureUsages = D3DUSAGE_DYNAMIC | D3DUSAGE_AUTOGENMIPMAP;
    const bool ok = resourceType == D3DRTYPE_TEXTURE && !(usage & ~textureUsages);
    return ok ? D3D_OK : D3DERR_NOTAVAILABLE;
  }
  return D3DERR_NOTAVAILABLE;
}

HRESULT Direct3D9::GetDeviceCaps(UINT adapter, D3DDEVTYPE deviceType, D3DCAPS9* caps) {
  if (adapter != D3DADAPTER_DEFAULT || !caps) return D3DERR_INVALIDCALL;
  if (deviceType != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
  if (CurrentD3DFaults().deviceCapsFails) return D3DERR_NOTAVAILABLE;
  FillDeviceCaps(m_maxTextureSize, caps);
  return D3D_OK;
}

HRESULT Direct3D9::CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow,
                                DWORD behaviorFlags, D3DPRESENT_PARAMETERS* params,
                                IDirect3DDevice9** device) {
  if (!device) return D3DERR_INVALIDCALL;
  *device = nullptr;
  if (!params || adapter != D3DADAPTER_DEFAULT) return D3DERR_INVALIDCALL;
  if (deviceType != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
  if (CurrentD3DFaults().createDeviceFails) return D3DERR_NOTAVAILABLE;
  const DWORD processing =
      behaviorFlags & (D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_HARDWARE_VERTEXPROCESSING |
                       D3DCREATE_MIXED_VERTEXPROCESSING);
  if (processing != D3DCREATE_SOFTWARE_VERTEXPROCESSING &&
      processing != D3DCREATE_HARDWARE_VERTEXPROCESSING &&
      processing != D3DCREATE_MIXED_VERTEXPROCESSING) {
    return D3DERR_INVALIDCALL;
  }
  if (!params->Windowed) {
    D3D9_LOG_ONCE("full-screen devices are not supported; create a windowed device");
    return D3DERR_NOTAVAILABLE;
  }
  if (params->MultiSampleType != D3DMULTISAMPLE_NONE) {
    D3D9_LOG_ONCE("multisampled back buffers are not supported");
    return D3DERR_NOTAVAILABLE;
  }
  if (params->SwapEffect < D3DSWAPEFFECT_DISCARD || params->SwapEffect > D3DSWAPEFFECT_FLIPEX ||
      params->BackBufferCount > D3DPRESENT_BACK_BUFFERS_MAX) {
    return D3DERR_INVALIDCALL;
  }
  const D3DFORMAT backFormat = params->BackBufferFormat;
  if (backFormat != D3DFMT_UNKNOWN && !IsDisplayFormat(backFormat) &&
      backFormat != D3DFMT_X1R5G5B5 && backFormat != D3DFMT_A1R5G5B5) {
    return D3DERR_INVALIDCALL;
  }
  if (params->EnableAutoDepthStencil && !IsDepthFormat(params->AutoDepthStencilFormat) &&
      params->AutoDepthStencilFormat != D3DFMT_D32) {
    return D3DERR_INVALIDCALL;
  }
  if (focusWindow && !SdlWindowFromHwnd(focusWindow)) return D3DERR_INVALIDCALL;
  const HWND deviceWindow = params->hDeviceWindow ? params->hDeviceWindow : focusWindow;
  SDL_Window* window = SdlWindowFromHwnd(deviceWindow);
  if (!window) return D3DERR_INVALIDCALL;

  Device* created = nullptr;
  const HRESULT hr = Device::Create(this, window, behaviorFlags, params, &created);
  if (FAILED(hr)) return hr;
  *device = created;
  return D3D_OK;
}

}  // namespace platform

IDirect3D9* WINAPI Direct3DCreate9(UINT SDKVersion) {
  using namespace platform;
  if (const Direct3DCreate9Hook& hook = CurrentDirect3DCreate9Hook()) return hook(SDKVersion);
  if (CurrentD3DFaults().createFails) return nullptr;
  if (SDKVersion != D3D_SDK_VERSION) {
    D3D9Log("Direct3DCreate9: SDK version %u is not %u", SDKVersion, D3D_SDK_VERSION);
    return nullptr;
  }
  if (!EnsureSdlVideo()) {
    std::fprintf(stderr, "Direct3D 9 layer: no display: %s\n", SdlVideoError());
    return nullptr;
  }
  UINT maxTextureSize = 0;
  if (!ProbeOpenGl(&maxTextureSize)) return nullptr;
  return new Direct3D9(maxTextureSize);
}
