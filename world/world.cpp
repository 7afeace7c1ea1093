#include "world/world.h"

#include <mmsystem.h>

#include "app/app.h"

int g_grid[GRID_COLUMNS][GRID_ROWS];
int g_firstRow = 0;
float g_fieldOffset = 0.0f;
int g_rowRecycled = 0;
float g_lastRecycleZ = 0.0f;
DWORD g_timeNow = 0;
DWORD g_lastCameraUpdate = 0;

namespace {

unsigned int g_randState = 1;

const float STRIP_DEPTH = 10.0f;
const float CELL_WIDTH = 10.0f;
const D3DCOLOR CLEAR_COLOR = 0xFFCCCCFF;

// Gives the nearest row new codes and moves it to the far end of the field.
void RecycleRow(float eyeZ) {
  g_rowRecycled = 1;
  g_lastRecycleZ = eyeZ;
  g_fieldOffset += STRIP_DEPTH;
  for (int c = 0; c < GRID_COLUMNS; ++c) g_grid[c][g_firstRow] = CrtRand() % 30;
  g_firstRow = (g_firstRow + 1) % GRID_ROWS;
}

void DrawCell(int code) {
  if (code == CELL_PYRAMID)
    g_pyramid.Draw();
  else if (code >= CELL_FIRST_CUBE && code <= CELL_LAST_CUBE)
    g_cube.Draw(g_textures.objectTextures[code - CELL_FIRST_CUBE]);
}

}  // namespace

int CrtRand() {
  g_randState = g_randState * 214013u + 2531011u;
  return (int)((g_randState >> 16) & 0x7FFF);
}

void CrtSrand(unsigned int seed) { g_randState = seed; }

int SetupScene() {
  g_textures.Load(g_pd3dDevice);
  // The strips' set-up and the start-up grid's draws interleave, row by row.
  for (int r = 0; r < GRID_ROWS; ++r) {
    g_floorStrips[r].Load(g_pd3dDevice);
    g_floorStrips[r].Build();
    for (int c = 0; c < GRID_COLUMNS; ++c) g_grid[c][r] = CrtRand() % 20;
  }
  g_pyramid.Create(g_pd3dDevice);
  g_pyramid.Build();
  g_cube.Create(g_pd3dDevice);
  g_camera.Init(g_pd3dDevice, g_screenWidth, g_screenHeight);
  g_timeNow = timeGetTime();
  g_lastCameraUpdate = g_timeNow;
  return 0;
}

void RenderFrame() {
  g_pd3dDevice->Clear(0, NULL, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, CLEAR_COLOR, 1.0f, 0);

  if (SUCCEEDED(g_pd3dDevice->BeginScene())) {
    // At most one camera step per frame, and none within 2 ms of the last;
    // the difference is taken modulo 2^32 so the timer's wrap does no harm.
    g_timeNow = timeGetTime();
    if ((LONG)(g_timeNow - g_lastCameraUpdate) > 2) {
      g_lastCameraUpdate = g_timeNow;
      g_camera.Update(g_keyboard.command);
    }

    float eyeZ = g_camera.eyeZ;
    float d = eyeZ - g_lastRecycleZ;
    if (d * d > 2.0f) g_rowRecycled = 0;

    // A row is recycled when the eye enters [10n, 10n + 1) for n >= 1, once
    // per entry, and only once the eye has left the nearest strip behind:
    // stepping back and forth across a multiple of 10 must not push the
    // field ahead of the viewer.
    int k = (int)eyeZ;
    if (k % 10 == 0 && eyeZ > 1.0f && g_rowRecycled == 0 && eyeZ >= g_fieldOffset + STRIP_DEPTH)
      RecycleRow(eyeZ);

    for (int i = 0; i < GRID_ROWS; ++i) {
      float z = i * STRIP_DEPTH + g_fieldOffset;
      D3DXMatrixTranslation(&g_matWorld, 0.0f, 0.0f, z);
      g_pd3dDevice->SetTransform(D3DTS_WORLD, &g_matWorld);
      g_floorStrips[i].Draw();

      int row = (g_firstRow + i) % GRID_ROWS;
      for (int c = 0; c < GRID_COLUMNS; ++c) {
        D3DXMatrixTranslation(&g_matWorld, c * CELL_WIDTH, 0.0f, z);
        g_pd3dDevice->SetTransform(D3DTS_WORLD, &g_matWorld);
        DrawCell(g_grid[c][row]);
      }
    }
  }

  g_pd3dDevice->EndScene();
  g_pd3dDevice->Present(NULL, NULL, NULL, NULL);
}
