// The four-sided, vertex-coloured pyramid: a 2 x 2 base centred on its origin,
// 2 units high, drawn as a fan of four triangles with an open base.
#pragma once

#include <windows.h>
#include <d3d9.h>

#include "world/vertex_formats.h"

extern const ColoredVertex g_triangleFan[6];

class Pyramid {
 public:
  Pyramid();
  ~Pyramid();

  int Create(IDirect3DDevice9* device);
  int Build();
  // Binds no texture: whatever the previous draw left on stage 0 tints it.
  int Draw();

  ColoredVertex* pVertices;
  IDirect3DVertexBuffer9* pVertexBuffer;
  IDirect3DDevice9* pDevice;
};
