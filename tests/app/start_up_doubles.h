// Doubles for the Direct3D and DirectInput objects that the start-up makes,
// installed through the layer's creation hooks; each step can be made to fail.
#pragma once

#include <gmock/gmock.h>

#include "app/app.h"
#include "mocks/d3d9_mocks.h"
#include "mocks/dinput_mocks.h"
#include "platform_hooks.h"

struct StartUpDoubles {
  ::testing::NiceMock<MockDirect3D9> d3d;
  ::testing::NiceMock<MockDevice> device;
  ::testing::NiceMock<MockDirectInput8> input;
  ::testing::NiceMock<MockKeyboardDevice> keyboard;

  int failAt = 0;  // the start-up step (1-6) that fails, 0 for none
  HRESULT depthCheckResult = D3D_OK;
  D3DFORMAT desktopFormat = D3DFMT_X8R8G8B8;
  DWORD vertexProcessingCaps = 0x17B;

  void Install() {
    using ::testing::_;
    using ::testing::Return;
    platform::SetDirect3DCreate9Hook(
        [this](UINT) -> IDirect3D9* { return failAt == 1 ? nullptr : &d3d; });
    ON_CALL(d3d, GetAdapterDisplayMode(_, _)).WillByDefault([this](UINT, D3DDISPLAYMODE* mode) {
      if (failAt == 2) return D3DERR_INVALIDCALL;
      *mode = {1024, 768, 60, desktopFormat};
      return D3D_OK;
    });
    ON_CALL(d3d, CheckDeviceFormat(_, _, _, _, _, _))
        .WillByDefault([this](UINT, D3DDEVTYPE, D3DFORMAT, DWORD, D3DRESOURCETYPE, D3DFORMAT) {
          return failAt == 3 ? D3DERR_NOTAVAILABLE : depthCheckResult;
        });
    ON_CALL(d3d, GetDeviceCaps(_, _, _)).WillByDefault([this](UINT, D3DDEVTYPE, D3DCAPS9* caps) {
      if (failAt == 4) return D3DERR_NOTAVAILABLE;
      memset(caps, 0, sizeof(*caps));
      caps->VertexProcessingCaps = vertexProcessingCaps;
      return D3D_OK;
    });
    ON_CALL(d3d, CreateDevice(_, _, _, _, _, _))
        .WillByDefault(
            [this](UINT, D3DDEVTYPE, HWND, DWORD, D3DPRESENT_PARAMETERS*, IDirect3DDevice9** out) {
              if (failAt == 5) return D3DERR_NOTAVAILABLE;
              *out = &device;
              return D3D_OK;
            });
    platform::SetDirectInput8CreateHook([this](HINSTANCE, DWORD, REFIID, LPVOID* out, LPUNKNOWN) {
      if (failAt == 6) return DIERR_OLDDIRECTINPUTVERSION;
      *out = static_cast<IDirectInput8A*>(&input);
      return DI_OK;
    });
    ON_CALL(input, CreateDevice(_, _, _))
        .WillByDefault([this](REFGUID, LPDIRECTINPUTDEVICE8A* out, LPUNKNOWN) {
          *out = &keyboard;
          return DI_OK;
        });
  }
};

// Forgets what the start-up left in the program's globals, so the doubles
// can go away before the process does.
inline void ForgetStartUpGlobals() {
  g_keyboard.pDI = NULL;
  g_keyboard.pKeyboard = NULL;
  g_pD3D = NULL;
  g_pd3dDevice = NULL;
}
