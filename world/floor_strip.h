// One grass-textured strip of ground, 100 units across (x) and 10 deep (z),
// in the plane y = 0, facing up. Each strip loads its own grass texture.
#pragma once

#include <windows.h>
#include <d3d9.h>

#include "world/vertex_formats.h"

extern const TexturedVertex g_floorVertices[4];

class FloorStrip {
 public:
  FloorStrip();
  ~FloorStrip();

  // Loads the grass texture and sets linear filtering on sampler 0.
  int Load(IDirect3DDevice9* device);
  // Creates and fills the vertex buffer; needs Load first.
  int Build();
  // Draws the strip with the world transform the caller has set.
  int Draw();

  IDirect3DTexture9* pTexture;
  IDirect3DVertexBuffer9* pVertexBuffer;
  IDirect3DDevice9* pDevice;
};
