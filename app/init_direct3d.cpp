// Direct3D start-up: the Direct3D object, the windowed device with a 16-bit
// depth buffer, the keyboard, and the render states of the whole run. Each
// failing step shows its numbered message and returns its number; nothing is
// released on these paths, the process ends soon after.
#include "app/app.h"

namespace {

int Fail(int code, const char* text) {
  MessageBoxA(NULL, text, NULL, MB_OK);
  return code;
}

DWORD FloatBits(float value) {
  DWORD bits;
  memcpy(&bits, &value, sizeof(bits));
  return bits;
}

}  // namespace

int InitDirect3D(HINSTANCE hInstance) {
  g_pD3D = Direct3DCreate9(D3D_SDK_VERSION);
  if (g_pD3D == NULL) return Fail(1, "Direct3DCreate9() - Fehler:1");

  D3DDISPLAYMODE d3ddm;
  if (FAILED(g_pD3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &d3ddm)))
    return Fail(2, "GetAdapterDisplayMode() - Fehler:2");

  // Only a missing 16-bit depth format stops the start-up; any other error
  // from this check is left for CreateDevice to find.
  HRESULT hr = g_pD3D->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, d3ddm.Format,
                                         D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, D3DFMT_D16);
  if (hr == D3DERR_NOTAVAILABLE) return Fail(3, "CheckDeviceFormat() - Fehler:3");

  D3DCAPS9 d3dCaps;
  if (FAILED(g_pD3D->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &d3dCaps)))
    return Fail(4, "GetDeviceCaps() - Fehler:4");

  DWORD flags = d3dCaps.VertexProcessingCaps != 0 ? D3DCREATE_HARDWARE_VERTEXPROCESSING
                                                  : D3DCREATE_SOFTWARE_VERTEXPROCESSING;

  D3DPRESENT_PARAMETERS d3dpp;
  ZeroMemory(&d3dpp, sizeof(d3dpp));
  d3dpp.BackBufferWidth = g_screenWidth;
  d3dpp.BackBufferHeight = g_screenHeight;
  d3dpp.BackBufferFormat = d3ddm.Format;
  d3dpp.BackBufferCount = 0;
  d3dpp.MultiSampleType = D3DMULTISAMPLE_NONE;
  d3dpp.MultiSampleQuality = 0;
  d3dpp.SwapEffect = D3DSWAPEFFECT_DISCARD;
  d3dpp.hDeviceWindow = NULL;
  d3dpp.Windowed = TRUE;
  d3dpp.EnableAutoDepthStencil = TRUE;
  d3dpp.AutoDepthStencilFormat = D3DFMT_D16;
  d3dpp.Flags = 0;
  d3dpp.FullScreen_RefreshRateInHz = 0;
  d3dpp.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;

  if (FAILED(g_pD3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, g_hWnd, flags, &d3dpp,
                                  &g_pd3dDevice)))
    return Fail(5, "CreateDevice() - Fehler:5");

  if (g_keyboard.Init(hInstance, g_hWnd) != 0) return Fail(6, "DirectInput - Fehler:6");

  // No lighting; linear fog in the clear colour hides the far end of the field.
  g_pd3dDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
  g_pd3dDevice->SetRenderState(D3DRS_FOGENABLE, TRUE);
  g_pd3dDevice->SetRenderState(D3DRS_FOGCOLOR, 0xFFCCCCFF);
  g_pd3dDevice->SetRenderState(D3DRS_FOGTABLEMODE, D3DFOG_LINEAR);
  g_pd3dDevice->SetRenderState(D3DRS_FOGSTART, FloatBits(25.0f));
  g_pd3dDevice->SetRenderState(D3DRS_FOGEND, FloatBits(70.0f));
  g_pd3dDevice->SetRenderState(D3DRS_RANGEFOGENABLE, TRUE);

  ShowCursor(FALSE);
  return 0;
}
