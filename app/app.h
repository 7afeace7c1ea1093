// The application shell: the window, the Direct3D device and the globals
// that every part of the program shares.
#pragma once

#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

#include "camera/camera.h"
#include "input/keyboard.h"
#include "textures/texture_set.h"
#include "world/cube.h"
#include "world/floor_strip.h"
#include "world/pyramid.h"

const int FLOOR_STRIP_COUNT = 11;

// The window and its size (the back buffer has the same size).
extern HWND g_hWnd;
extern int g_screenWidth;
extern int g_screenHeight;

// The Direct3D object and the one device; both live until the process ends.
extern LPDIRECT3D9 g_pD3D;
extern LPDIRECT3DDEVICE9 g_pd3dDevice;

// The scene's objects, constructed in this order before WinMain runs and
// destroyed in reverse order after it returns.
extern Keyboard g_keyboard;
extern Camera g_camera;
extern FloorStrip g_floorStrips[FLOOR_STRIP_COUNT];
extern Pyramid g_pyramid;
extern Cube g_cube;
extern TextureSet g_textures;
extern D3DXMATRIX g_matWorld;

LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// Creates the Direct3D object and device, starts the keyboard and sets the
// render states of the whole run. 0 on success, else the failing step (1-6)
// after its message box has been closed.
int InitDirect3D(HINSTANCE hInstance);
