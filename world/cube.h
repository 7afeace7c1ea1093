// The textured cube of every obstacle cell: edge 2, centred on its origin,
// each face showing the whole texture upright as seen from outside. One
// vertex buffer serves every cube on the screen.
#pragma once

#include <windows.h>
#include <d3d9.h>

#include "world/vertex_formats.h"

extern const TexturedVertex CubeVertices[36];

class Cube {
 public:
  Cube();
  ~Cube();

  int Create(IDirect3DDevice9* device);
  // Draws with the world transform the caller has set; a null texture draws
  // the cube untextured.
  int Draw(IDirect3DTexture9* texture);

  TexturedVertex* pVertices;
  IDirect3DVertexBuffer9* pVertexBuffer;
  IDirect3DDevice9* pDevice;
};
