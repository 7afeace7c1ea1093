#include "world/pyramid.h"

#include <string.h>

// The apex, then the base corners around it; the last repeats the first
// corner with another colour to close the fan. Every face is clockwise seen
// from outside.
const ColoredVertex g_triangleFan[6] = {
    {0.0f, 2.0f, 0.0f, 0xFFFF0000},    // red apex
    {1.0f, 0.0f, -1.0f, 0xFF00FF00},   // green
    {-1.0f, 0.0f, -1.0f, 0xFF0000FF},  // blue
    {-1.0f, 0.0f, 1.0f, 0xFFFFFF00},   // yellow
    {1.0f, 0.0f, 1.0f, 0xFF00FFFF},    // cyan
    {1.0f, 0.0f, -1.0f, 0xFFFF00FF},   // magenta
};

Pyramid::Pyramid() : pVertices(NULL), pVertexBuffer(NULL), pDevice(NULL) {}

Pyramid::~Pyramid() {
  if (pVertexBuffer != NULL) {
    pVertexBuffer->Release();
    pVertexBuffer = NULL;
  }
}

int Pyramid::Create(IDirect3DDevice9* device) {
  if (FAILED(device->CreateVertexBuffer(sizeof(g_triangleFan), 0, D3DFVF_COLOREDVERTEX,
                                        D3DPOOL_DEFAULT, &pVertexBuffer, NULL)))
    pVertexBuffer = NULL;
  pDevice = device;
  return 0;
}

int Pyramid::Build() {
  pVertices = NULL;
  if (pVertexBuffer == NULL) return 0;
  if (SUCCEEDED(pVertexBuffer->Lock(0, sizeof(g_triangleFan), (void**)&pVertices, 0)) &&
      pVertices != NULL) {
    memcpy(pVertices, g_triangleFan, sizeof(g_triangleFan));
    pVertexBuffer->Unlock();
  }
  return 0;
}

int Pyramid::Draw() {
  if (pVertexBuffer == NULL) return 0;
  pDevice->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
  pDevice->SetStreamSource(0, pVertexBuffer, 0, sizeof(ColoredVertex));
  pDevice->SetFVF(D3DFVF_COLOREDVERTEX);
  pDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 4);
  return 0;
}
