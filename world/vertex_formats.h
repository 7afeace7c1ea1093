// The two vertex records of the meshes.
#pragma once

#include <windows.h>
#include <d3d9.h>

// Position and texture coordinates; no colour, so it draws as opaque white
// modulated by its texture.
struct TexturedVertex {
  float x, y, z;
  float u, v;
};
const DWORD D3DFVF_TEXTUREDVERTEX = D3DFVF_XYZ | D3DFVF_TEX1;

// Position and a diffuse colour 0xAARRGGBB.
struct ColoredVertex {
  float x, y, z;
  D3DCOLOR color;
};
const DWORD D3DFVF_COLOREDVERTEX = D3DFVF_XYZ | D3DFVF_DIFFUSE;

static_assert(sizeof(TexturedVertex) == 20, "TexturedVertex is 20 bytes");
static_assert(sizeof(ColoredVertex) == 16, "ColoredVertex is 16 bytes");
