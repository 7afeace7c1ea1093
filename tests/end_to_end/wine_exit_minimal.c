/* The viewer's exit path in a few lines, to tell Wine's fault at exit from
 * ours: a popup window, a windowed Direct3D 9 device (HAL, software vertex
 * processing, D16 depth), one vertex buffer and one managed texture, a few
 * hundred frames, then a return from WinMain with the device still alive.
 *
 * wine_exit_minimal.exe [VARIANT [FRAMES]], VARIANT one of
 *   atexit   the buffer and the texture are released by an atexit handler,
 *            as the viewer's global destructors do; device and Direct3D
 *            object are left to the end of the process (the default)
 *   leak     nothing is released
 *   release  everything, the device and the Direct3D object too, is
 *            released before WinMain returns
 * Exit code 0, or 1 to 4 when a call fails (message on stderr). */
#define COBJMACROS
#include <d3d9.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

static IDirect3D9* g_d3d;
static IDirect3DDevice9* g_device;
static IDirect3DVertexBuffer9* g_buffer;
static IDirect3DTexture9* g_texture;

struct vertex {
  float x, y, z, rhw;
  DWORD color;
  float u, v;
};
#define VERTEX_FVF (D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1)

static void release_resources(void) {
  if (g_texture) IDirect3DTexture9_Release(g_texture);
  if (g_buffer) IDirect3DVertexBuffer9_Release(g_buffer);
  g_texture = NULL;
  g_buffer = NULL;
}

static LRESULT CALLBACK window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_CLOSE || message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

static int fail(const char* what, HRESULT result, int code) {
  fprintf(stderr, "wine_exit_minimal: %s failed (0x%08lx)\n", what, (unsigned long)result);
  return code;
}

static int setup(HWND window) {
  D3DPRESENT_PARAMETERS params;
  struct vertex quad[4] = {{100, 100, 0.5f, 1, 0xffff0000, 0, 0},
                           {400, 100, 0.5f, 1, 0xff00ff00, 1, 0},
                           {100, 400, 0.5f, 1, 0xff0000ff, 0, 1},
                           {400, 400, 0.5f, 1, 0xffffffff, 1, 1}};
  D3DLOCKED_RECT rect;
  void* data;
  HRESULT result;
  int y;

  g_d3d = Direct3DCreate9(D3D_SDK_VERSION);
  if (!g_d3d) return fail("Direct3DCreate9", E_FAIL, 2);
  memset(&params, 0, sizeof(params));
  params.Windowed = TRUE;
  params.SwapEffect = D3DSWAPEFFECT_DISCARD;
  params.BackBufferFormat = D3DFMT_UNKNOWN;
  params.EnableAutoDepthStencil = TRUE;
  params.AutoDepthStencilFormat = D3DFMT_D16;
  result = IDirect3D9_CreateDevice(g_d3d, D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                   D3DCREATE_SOFTWARE_VERTEXPROCESSING, &params, &g_device);
  if (FAILED(result)) return fail("CreateDevice", result, 2);
  result = IDirect3DDevice9_CreateVertexBuffer(g_device, sizeof(quad), 0, VERTEX_FVF,
                                               D3DPOOL_DEFAULT, &g_buffer, NULL);
  if (FAILED(result)) return fail("CreateVertexBuffer", result, 3);
  result = IDirect3DVertexBuffer9_Lock(g_buffer, 0, 0, &data, 0);
  if (FAILED(result)) return fail("Lock", result, 3);
  memcpy(data, quad, sizeof(quad));
  IDirect3DVertexBuffer9_Unlock(g_buffer);
  result = IDirect3DDevice9_CreateTexture(g_device, 64, 64, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                          &g_texture, NULL);
  if (FAILED(result)) return fail("CreateTexture", result, 4);
  result = IDirect3DTexture9_LockRect(g_texture, 0, &rect, NULL, 0);
  if (FAILED(result)) return fail("LockRect", result, 4);
  for (y = 0; y < 64; ++y) memset((char*)rect.pBits + y * rect.Pitch, (y & 8) ? 0xff : 0x40, 256);
  IDirect3DTexture9_UnlockRect(g_texture, 0);
  IDirect3DDevice9_SetTexture(g_device, 0, (IDirect3DBaseTexture9*)g_texture);
  IDirect3DDevice9_SetStreamSource(g_device, 0, g_buffer, 0, sizeof(struct vertex));
  IDirect3DDevice9_SetFVF(g_device, VERTEX_FVF);
  return 0;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show) {
  char variant[16] = "atexit";
  int frames = 300, frame = 0, status;
  WNDCLASSEXA window_class;
  HWND window;
  MSG message;
  (void)previous;
  (void)show;

  sscanf(command_line, "%15s %d", variant, &frames);
  if (strcmp(variant, "atexit") && strcmp(variant, "leak") && strcmp(variant, "release")) {
    fprintf(stderr, "wine_exit_minimal: the variant is atexit, leak or release, not '%s'\n",
            variant);
    return 1;
  }
  if (!strcmp(variant, "atexit")) atexit(release_resources);

  memset(&window_class, 0, sizeof(window_class));
  window_class.cbSize = sizeof(window_class);
  window_class.style = CS_HREDRAW | CS_VREDRAW;
  window_class.lpfnWndProc = window_proc;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorA(NULL, IDC_ARROW);
  window_class.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
  window_class.lpszClassName = "WINE_EXIT_MINIMAL";
  if (!RegisterClassExA(&window_class)) return fail("RegisterClassExA", E_FAIL, 1);
  window = CreateWindowExA(0, "WINE_EXIT_MINIMAL", "wine_exit_minimal",
                           WS_POPUP | WS_VISIBLE | WS_SYSMENU, 20, 20, 824, 568, NULL, NULL,
                           instance, NULL);
  if (!window) return fail("CreateWindowExA", E_FAIL, 1);
  status = setup(window);
  if (status) return status;

  memset(&message, 0, sizeof(message));
  while (message.message != WM_QUIT) {
    if (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
      continue;
    }
    IDirect3DDevice9_Clear(g_device, 0, NULL, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER,
                           D3DCOLOR_XRGB(0xcc, 0xcc, 0xff), 1.0f, 0);
    IDirect3DDevice9_BeginScene(g_device);
    IDirect3DDevice9_DrawPrimitive(g_device, D3DPT_TRIANGLESTRIP, 0, 2);
    IDirect3DDevice9_EndScene(g_device);
    IDirect3DDevice9_Present(g_device, NULL, NULL, NULL, NULL);
    if (++frame == frames) PostQuitMessage(0);
  }

  if (!strcmp(variant, "release")) {
    IDirect3DDevice9_SetTexture(g_device, 0, NULL);
    IDirect3DDevice9_SetStreamSource(g_device, 0, NULL, 0, 0);
    release_resources();
    IDirect3DDevice9_Release(g_device);
    IDirect3D9_Release(g_d3d);
  }
  return 0;
}
