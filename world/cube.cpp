#include "world/cube.h"

#include <string.h>

// Six faces of two clockwise triangles each (A-B-C, C-D-A with corners
// A (u 0, v 1), B (0, 0), C (1, 0), D (1, 1)), in the order front, back, top,
// bottom, left, right.
const TexturedVertex CubeVertices[36] = {
    // front (z = -1)
    {-1.0f, -1.0f, -1.0f, 0.0f, 1.0f},
    {-1.0f, 1.0f, -1.0f, 0.0f, 0.0f},
    {1.0f, 1.0f, -1.0f, 1.0f, 0.0f},
    {1.0f, 1.0f, -1.0f, 1.0f, 0.0f},
    {1.0f, -1.0f, -1.0f, 1.0f, 1.0f},
    {-1.0f, -1.0f, -1.0f, 0.0f, 1.0f},
    // back (z = +1)
    {1.0f, -1.0f, 1.0f, 0.0f, 1.0f},
    {1.0f, 1.0f, 1.0f, 0.0f, 0.0f},
    {-1.0f, 1.0f, 1.0f, 1.0f, 0.0f},
    {-1.0f, 1.0f, 1.0f, 1.0f, 0.0f},
    {-1.0f, -1.0f, 1.0f, 1.0f, 1.0f},
    {1.0f, -1.0f, 1.0f, 0.0f, 1.0f},
    // top (y = +1)
    {-1.0f, 1.0f, -1.0f, 0.0f, 1.0f},
    {-1.0f, 1.0f, 1.0f, 0.0f, 0.0f},
    {1.0f, 1.0f, 1.0f, 1.0f, 0.0f},
    {1.0f, 1.0f, 1.0f, 1.0f, 0.0f},
    {1.0f, 1.0f, -1.0f, 1.0f, 1.0f},
    {-1.0f, 1.0f, -1.0f, 0.0f, 1.0f},
    // bottom (y = -1)
    {1.0f, -1.0f, -1.0f, 0.0f, 1.0f},
    {1.0f, -1.0f, 1.0f, 0.0f, 0.0f},
    {-1.0f, -1.0f, 1.0f, 1.0f, 0.0f},
    {-1.0f, -1.0f, 1.0f, 1.0f, 0.0f},
    {-1.0f, -1.0f, -1.0f, 1.0f, 1.0f},
    {1.0f, -1.0f, -1.0f, 0.0f, 1.0f},
    // left (x = -1)
    {-1.0f, -1.0f, 1.0f, 0.0f, 1.0f},
    {-1.0f, 1.0f, 1.0f, 0.0f, 0.0f},
    {-1.0f, 1.0f, -1.0f, 1.0f, 0.0f},
    {-1.0f, 1.0f, -1.0f, 1.0f, 0.0f},
    {-1.0f, -1.0f, -1.0f, 1.0f, 1.0f},
    {-1.0f, -1.0f, 1.0f, 0.0f, 1.0f},
    // right (x = +1)
    {1.0f, -1.0f, -1.0f, 0.0f, 1.0f},
    {1.0f, 1.0f, -1.0f, 0.0f, 0.0f},
    {1.0f, 1.0f, 1.0f, 1.0f, 0.0f},
    {1.0f, 1.0f, 1.0f, 1.0f, 0.0f},
    {1.0f, -1.0f, 1.0f, 1.0f, 1.0f},
    {1.0f, -1.0f, -1.0f, 0.0f, 1.0f},
};

Cube::Cube() : pVertices(NULL), pVertexBuffer(NULL), pDevice(NULL) {}

Cube::~Cube() {
  if (pVertexBuffer != NULL) {
    pVertexBuffer->Release();
    pVertexBuffer = NULL;
  }
}

int Cube::Create(IDirect3DDevice9* device) {
  pDevice = device;
  if (FAILED(pDevice->CreateVertexBuffer(sizeof(CubeVertices), D3DUSAGE_WRITEONLY,
                                         D3DFVF_TEXTUREDVERTEX, D3DPOOL_MANAGED, &pVertexBuffer,
                                         NULL))) {
    pVertexBuffer = NULL;
    return 0;
  }
  pVertices = NULL;
  if (SUCCEEDED(pVertexBuffer->Lock(0, sizeof(CubeVertices), (void**)&pVertices, 0)) &&
      pVertices != NULL) {
    memcpy(pVertices, CubeVertices, sizeof(CubeVertices));
    pVertexBuffer->Unlock();
  }
  return 0;
}

int Cube::Draw(IDirect3DTexture9* texture) {
  if (pVertexBuffer == NULL) return 0;
  pDevice->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
  pDevice->SetStreamSource(0, pVertexBuffer, 0, sizeof(TexturedVertex));
  pDevice->SetFVF(D3DFVF_TEXTUREDVERTEX);
  pDevice->SetTexture(0, texture);
  pDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 12);
  return 0;
}
