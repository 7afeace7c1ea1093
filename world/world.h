// The world: a grid of 10 columns x 11 rows of obstacle cells over eleven
// floor strips, recycled row by row as the eye advances so the field never
// ends; the scene set-up and the per-frame drawing.
#pragma once

#include <windows.h>

const int GRID_COLUMNS = 10;
const int GRID_ROWS = 11;

// Cell codes: 3 the pyramid, 4..9 a cube with object texture code - 4,
// anything else empty.
const int CELL_PYRAMID = 3;
const int CELL_FIRST_CUBE = 4;
const int CELL_LAST_CUBE = 9;

extern int g_grid[GRID_COLUMNS][GRID_ROWS];
extern int g_firstRow;        // grid row shown nearest the viewer
extern float g_fieldOffset;   // z of the nearest strip
extern int g_rowRecycled;     // 1 from a recycle until the eye has moved on
extern float g_lastRecycleZ;  // the eye's z at the last recycle
extern DWORD g_timeNow;
extern DWORD g_lastCameraUpdate;

// The C runtime's generator, written out so that every platform draws the
// same field: a 32-bit linear congruential generator whose state starts at 1.
int CrtRand();
void CrtSrand(unsigned int seed);

// Builds textures, strips, the start-up grid, the meshes and the camera.
// Always 0.
int SetupScene();

// Draws one frame: clear, camera step, recycling, eleven strips and their
// cells, present.
void RenderFrame();
