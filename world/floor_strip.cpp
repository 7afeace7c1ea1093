#include "world/floor_strip.h"

#include <d3dx9.h>

// Two clockwise triangles seen from above; the grass repeats ten times across
// the strip and once along it, its top row on the far edge.
const TexturedVertex g_floorVertices[4] = {
    {0.0f, 0.0f, 0.0f, 0.0f, 1.0f},
    {0.0f, 0.0f, 10.0f, 0.0f, 0.0f},
    {100.0f, 0.0f, 0.0f, 10.0f, 1.0f},
    {100.0f, 0.0f, 10.0f, 10.0f, 0.0f},
};

FloorStrip::FloorStrip() : pTexture(NULL), pVertexBuffer(NULL), pDevice(NULL) {}

FloorStrip::~FloorStrip() {
  if (pVertexBuffer != NULL) {
    pVertexBuffer->Release();
    pVertexBuffer = NULL;
  }
  if (pTexture != NULL) {
    pTexture->Release();
    pTexture = NULL;
  }
}

int FloorStrip::Load(IDirect3DDevice9* device) {
  // A missing grass image leaves pTexture null: the strip then draws untextured.
  D3DXCreateTextureFromFileA(device, "pic\\GRASS1.jpg", &pTexture);
  device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
  device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
  pDevice = device;
  return 0;
}

int FloorStrip::Build() {
  if (FAILED(pDevice->CreateVertexBuffer(sizeof(g_floorVertices), D3DUSAGE_WRITEONLY,
                                         D3DFVF_TEXTUREDVERTEX, D3DPOOL_DEFAULT, &pVertexBuffer,
                                         NULL))) {
    pVertexBuffer = NULL;
    return 0;
  }
  void* pVertices = NULL;
  if (SUCCEEDED(pVertexBuffer->Lock(0, sizeof(g_floorVertices), &pVertices, 0)) &&
      pVertices != NULL) {
    memcpy(pVertices, g_floorVertices, sizeof(g_floorVertices));
    pVertexBuffer->Unlock();
  }
  return 0;
}

int FloorStrip::Draw() {
  // Without a vertex buffer there is nothing to draw.
  if (pVertexBuffer == NULL) return 0;
  pDevice->SetFVF(D3DFVF_TEXTUREDVERTEX);
  pDevice->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
  pDevice->SetTexture(0, pTexture);
  pDevice->SetStreamSource(0, pVertexBuffer, 0, sizeof(TexturedVertex));
  pDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
  return 0;
}
