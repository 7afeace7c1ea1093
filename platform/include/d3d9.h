// d3d9.h for the Linux layer: Direct3D 9's entry point and the subset of the
// IDirect3D9, IDirect3DDevice9, IDirect3DVertexBuffer9 and IDirect3DTexture9
// interfaces that the program and D3DX call. The interfaces are plain structs
// of pure virtual methods, so tests can mock the very types the program uses;
// methods are declared in the real interfaces' vtable order.
#pragma once

#include <windows.h>
#include <d3d9types.h>
#include <d3d9caps.h>

#define D3D_SDK_VERSION 32
#define D3DADAPTER_DEFAULT 0
#define D3DPRESENT_BACK_BUFFERS_MAX 3

#define D3DCREATE_FPU_PRESERVE 0x00000002u
#define D3DCREATE_MULTITHREADED 0x00000004u
#define D3DCREATE_PUREDEVICE 0x00000010u
#define D3DCREATE_SOFTWARE_VERTEXPROCESSING 0x00000020u
#define D3DCREATE_HARDWARE_VERTEXPROCESSING 0x00000040u
#define D3DCREATE_MIXED_VERTEXPROCESSING 0x00000080u

#define _FACD3D 0x876
#define MAKE_D3DHRESULT(code) MAKE_HRESULT(1, _FACD3D, code)
#define D3D_OK S_OK
#define D3DERR_WRONGTEXTUREFORMAT MAKE_D3DHRESULT(2072)
#define D3DERR_UNSUPPORTEDTEXTUREFILTER MAKE_D3DHRESULT(2082)
#define D3DERR_DRIVERINTERNALERROR MAKE_D3DHRESULT(2087)
#define D3DERR_NOTFOUND MAKE_D3DHRESULT(2150)
#define D3DERR_MOREDATA MAKE_D3DHRESULT(2151)
#define D3DERR_DEVICELOST MAKE_D3DHRESULT(2152)
#define D3DERR_DEVICENOTRESET MAKE_D3DHRESULT(2153)
#define D3DERR_NOTAVAILABLE MAKE_D3DHRESULT(2154)
#define D3DERR_OUTOFVIDEOMEMORY MAKE_D3DHRESULT(380)
#define D3DERR_INVALIDDEVICE MAKE_D3DHRESULT(2155)
#define D3DERR_INVALIDCALL MAKE_D3DHRESULT(2156)

struct IDirect3DDevice9;
struct IDirect3DBaseTexture9;
struct IDirect3DTexture9;
struct IDirect3DVertexBuffer9;

struct IDirect3D9 : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetAdapterDisplayMode(UINT Adapter, D3DDISPLAYMODE* pMode) = 0;
  virtual HRESULT STDMETHODCALLTYPE CheckDeviceFormat(UINT Adapter, D3DDEVTYPE DeviceType,
                                                      D3DFORMAT AdapterFormat, DWORD Usage,
                                                      D3DRESOURCETYPE RType,
                                                      D3DFORMAT CheckFormat) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDeviceCaps(UINT Adapter, D3DDEVTYPE DeviceType,
                                                  D3DCAPS9* pCaps) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateDevice(UINT Adapter, D3DDEVTYPE DeviceType,
                                                 HWND hFocusWindow, DWORD BehaviorFlags,
                                                 D3DPRESENT_PARAMETERS* pPresentationParameters,
                                                 IDirect3DDevice9** ppReturnedDeviceInterface) = 0;
};

struct IDirect3DDevice9 : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetDeviceCaps(D3DCAPS9* pCaps) = 0;
  virtual HRESULT STDMETHODCALLTYPE Present(const RECT* pSourceRect, const RECT* pDestRect,
                                            HWND hDestWindowOverride,
                                            const RGNDATA* pDirtyRegion) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateTexture(UINT Width, UINT Height, UINT Levels, DWORD Usage,
                                                  D3DFORMAT Format, D3DPOOL Pool,
                                                  IDirect3DTexture9** ppTexture,
                                                  HANDLE* pSharedHandle) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateVertexBuffer(UINT Length, DWORD Usage, DWORD FVF,
                                                       D3DPOOL Pool,
                                                       IDirect3DVertexBuffer9** ppVertexBuffer,
                                                       HANDLE* pSharedHandle) = 0;
  virtual HRESULT STDMETHODCALLTYPE BeginScene() = 0;
  virtual HRESULT STDMETHODCALLTYPE EndScene() = 0;
  virtual HRESULT STDMETHODCALLTYPE Clear(DWORD Count, const D3DRECT* pRects, DWORD Flags,
                                          D3DCOLOR Color, float Z, DWORD Stencil) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetTransform(D3DTRANSFORMSTATETYPE State,
                                                 const D3DMATRIX* pMatrix) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetRenderState(D3DRENDERSTATETYPE State, DWORD Value) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetTexture(DWORD Stage, IDirect3DBaseTexture9* pTexture) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type,
                                                    DWORD Value) = 0;
  virtual HRESULT STDMETHODCALLTYPE DrawPrimitive(D3DPRIMITIVETYPE PrimitiveType, UINT StartVertex,
                                                  UINT PrimitiveCount) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetFVF(DWORD FVF) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetStreamSource(UINT StreamNumber,
                                                    IDirect3DVertexBuffer9* pStreamData,
                                                    UINT OffsetInBytes, UINT Stride) = 0;
};

struct IDirect3DResource9 : public IUnknown {};

struct IDirect3DBaseTexture9 : public IDirect3DResource9 {
  virtual DWORD STDMETHODCALLTYPE GetLevelCount() = 0;
};

struct IDirect3DTexture9 : public IDirect3DBaseTexture9 {
  virtual HRESULT STDMETHODCALLTYPE GetLevelDesc(UINT Level, D3DSURFACE_DESC* pDesc) = 0;
  virtual HRESULT STDMETHODCALLTYPE LockRect(UINT Level, D3DLOCKED_RECT* pLockedRect,
                                             const RECT* pRect, DWORD Flags) = 0;
  virtual HRESULT STDMETHODCALLTYPE UnlockRect(UINT Level) = 0;
};

struct IDirect3DVertexBuffer9 : public IDirect3DResource9 {
  virtual HRESULT STDMETHODCALLTYPE Lock(UINT OffsetToLock, UINT SizeToLock, void** ppbData,
                                         DWORD Flags) = 0;
  virtual HRESULT STDMETHODCALLTYPE Unlock() = 0;
};

typedef IDirect3D9* LPDIRECT3D9;
typedef IDirect3DDevice9* LPDIRECT3DDEVICE9;
typedef IDirect3DBaseTexture9* LPDIRECT3DBASETEXTURE9;
typedef IDirect3DTexture9* LPDIRECT3DTEXTURE9;
typedef IDirect3DVertexBuffer9* LPDIRECT3DVERTEXBUFFER9;

// Null when no display or no OpenGL 3.3 context can be had.
IDirect3D9* WINAPI Direct3DCreate9(UINT SDKVersion);
