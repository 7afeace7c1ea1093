// GoogleMock doubles of the Direct3D 9 interfaces the program uses.
#pragma once

#include <d3d9.h>
#include <gmock/gmock.h>

#include "mocks/com_mock.h"

class MockDirect3D9 : public MockUnknown<IDirect3D9> {
 public:
  MOCK_METHOD(HRESULT, GetAdapterDisplayMode, (UINT, D3DDISPLAYMODE*), (override));
  MOCK_METHOD(HRESULT, CheckDeviceFormat,
              (UINT, D3DDEVTYPE, D3DFORMAT, DWORD, D3DRESOURCETYPE, D3DFORMAT), (override));
  MOCK_METHOD(HRESULT, GetDeviceCaps, (UINT, D3DDEVTYPE, D3DCAPS9*), (override));
  MOCK_METHOD(HRESULT, CreateDevice,
              (UINT, D3DDEVTYPE, HWND, DWORD, D3DPRESENT_PARAMETERS*, IDirect3DDevice9**),
              (override));
};

class MockDevice : public MockUnknown<IDirect3DDevice9> {
 public:
  MOCK_METHOD(HRESULT, GetDeviceCaps, (D3DCAPS9*), (override));
  MOCK_METHOD(HRESULT, Present, (const RECT*, const RECT*, HWND, const RGNDATA*), (override));
  MOCK_METHOD(HRESULT, CreateTexture,
              (UINT, UINT, UINT, DWORD, D3DFORMAT, D3DPOOL, IDirect3DTexture9**, HANDLE*),
              (override));
  MOCK_METHOD(HRESULT, CreateVertexBuffer,
              (UINT, DWORD, DWORD, D3DPOOL, IDirect3DVertexBuffer9**, HANDLE*), (override));
  MOCK_METHOD(HRESULT, BeginScene, (), (override));
  MOCK_METHOD(HRESULT, EndScene, (), (override));
  MOCK_METHOD(HRESULT, Clear, (DWORD, const D3DRECT*, DWORD, D3DCOLOR, float, DWORD), (override));
  MOCK_METHOD(HRESULT, SetTransform, (D3DTRANSFORMSTATETYPE, const D3DMATRIX*), (override));
  MOCK_METHOD(HRESULT, SetRenderState, (D3DRENDERSTATETYPE, DWORD), (override));
  MOCK_METHOD(HRESULT, SetTexture, (DWORD, IDirect3DBaseTexture9*), (override));
  MOCK_METHOD(HRESULT, SetSamplerState, (DWORD, D3DSAMPLERSTATETYPE, DWORD), (override));
  MOCK_METHOD(HRESULT, DrawPrimitive, (D3DPRIMITIVETYPE, UINT, UINT), (override));
  MOCK_METHOD(HRESULT, SetFVF, (DWORD), (override));
  MOCK_METHOD(HRESULT, SetStreamSource, (UINT, IDirect3DVertexBuffer9*, UINT, UINT), (override));
};

class MockVertexBuffer : public MockUnknown<IDirect3DVertexBuffer9> {
 public:
  MOCK_METHOD(HRESULT, Lock, (UINT, UINT, void**, DWORD), (override));
  MOCK_METHOD(HRESULT, Unlock, (), (override));
};

class MockTexture : public MockUnknown<IDirect3DTexture9> {
 public:
  MOCK_METHOD(DWORD, GetLevelCount, (), (override));
  MOCK_METHOD(HRESULT, GetLevelDesc, (UINT, D3DSURFACE_DESC*), (override));
  MOCK_METHOD(HRESULT, LockRect, (UINT, D3DLOCKED_RECT*, const RECT*, DWORD), (override));
  MOCK_METHOD(HRESULT, UnlockRect, (UINT), (override));
};
