// The program's global objects. They are defined here together so that they
// are constructed in this order; the runtime destroys them in reverse order
// after WinMain has returned, on every way out, so each destructor releases
// only what exists.
#include "app/app.h"

HWND g_hWnd = NULL;
int g_screenWidth = 0;
int g_screenHeight = 0;

LPDIRECT3D9 g_pD3D = NULL;
LPDIRECT3DDEVICE9 g_pd3dDevice = NULL;

Keyboard g_keyboard;
Camera g_camera;
FloorStrip g_floorStrips[FLOOR_STRIP_COUNT];
Pyramid g_pyramid;
Cube g_cube;
TextureSet g_textures;
D3DXMATRIX g_matWorld;
