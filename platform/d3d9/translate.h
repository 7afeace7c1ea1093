// Direct3D 9 enumerations to their OpenGL counterparts, and the vertex layout
// of a flexible vertex format. Pure functions, no GL calls.
//
// Limits: only untransformed positions (D3DFVF_XYZ) are drawable; other
// position kinds, blend weights and point sizes make a layout invalid. Only
// the first texture coordinate set is used.
#pragma once

#include <GL/glcorearb.h>
#include <d3d9.h>

#include <optional>

namespace platform {

// D3DCMP_* to GL_NEVER...GL_ALWAYS; unknown values compare as LESSEQUAL.
GLenum GlCompareFromD3D(DWORD cmp);

// D3DPT_* to the GL primitive mode; empty for unknown types.
std::optional<GLenum> GlPrimitiveFromD3D(D3DPRIMITIVETYPE type);

// Vertices a DrawPrimitive of `primitives` primitives reads (0 for an unknown type).
UINT VertexCountFromPrimitives(D3DPRIMITIVETYPE type, UINT primitives);

// Sampler filters: magnification, and minification combined with the mip filter.
GLenum GlMagFilterFromD3D(DWORD magFilter);
GLenum GlMinFilterFromD3D(DWORD minFilter, DWORD mipFilter);

// D3DTADDRESS_* to GL wrap modes; unknown values wrap.
GLenum GlAddressFromD3D(DWORD address);

// D3DBLEND_* to GL blend factors; unknown values give GL_ONE.
GLenum GlBlendFromD3D(DWORD blend);

// D3DFILL_* to the GL polygon mode.
GLenum GlPolygonModeFromD3D(DWORD fill);

struct FvfLayout {
  bool valid = false;
  UINT size = 0;               // bytes of one vertex as the FVF describes it
  int diffuseOffset = -1;      // BGRA bytes, -1 when absent
  int texCoordOffset = -1;     // set 0, -1 when absent
  int texCoordComponents = 0;  // 1 to 4 floats
  bool hasNormal = false;
};

FvfLayout FvfLayoutFromD3D(DWORD fvf);

// D3DCOLOR (0xAARRGGBB) to RGBA floats in 0..1.
void RgbaFromD3DColor(D3DCOLOR color, float rgba[4]);

}  // namespace platform
