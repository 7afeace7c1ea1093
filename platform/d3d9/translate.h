// Direct3D 9 enumerations to their OpenGL counterparts, the vertex layout of a
// flexible vertex format, and the device's dirty Direct3D state as the plain
// GL values a draw needs (GlDrawState). Pure functions, no GL calls: the
// renderer receives GL values only and never sees a D3DRS_* number.
//
// Limits: only untransformed positions (D3DFVF_XYZ) are drawable; other
// position kinds, blend weights and point sizes make a layout invalid. Only
// the first texture coordinate set is used.
#pragma once

#include <GL/glcorearb.h>
#include <d3d9.h>

#include <optional>

#include "d3d9/device_state.h"
#include "d3d9/fixed_function_shader.h"

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

// The fog formula of the fixed-function program: table fog when its mode is
// set, else vertex fog (drawn per pixel with the same formulas), else none.
ShaderFogMode ShaderFogFromD3D(BOOL enabled, DWORD tableMode, DWORD vertexMode);

// Everything GlRenderer sets before a draw, in GL's terms. Grouped by the
// dirty bit (device_state.h) that invalidates each part.
struct GlDrawState {
  // kDirtyTransform: world × view × projection, row-major (Direct3D's order).
  float worldViewProj[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  // kDirtyFog; the parameters matter only when fogMode is not none.
  ShaderFogMode fogMode = kShaderFogNone;
  float fogParams[3] = {0.0f, 0.0f, 0.0f};  // linear: end, 1 / (end - start); exp: density
  float fogColor[3] = {0.0f, 0.0f, 0.0f};
  // kDirtyDepth
  bool depthTest = false;
  bool depthWrite = true;
  GLenum depthFunc = GL_LESS;
  // kDirtyCull: the face GL culls, with clockwise as the front face.
  bool cullEnabled = false;
  GLenum cullFace = GL_BACK;
  // kDirtyFill
  GLenum polygonMode = GL_FILL;
  // kDirtyBlend
  bool blendEnabled = false;
  GLenum blendSrc = GL_ONE;
  GLenum blendDst = GL_ZERO;
  // kDirtySampler
  GLenum minFilter = GL_NEAREST_MIPMAP_LINEAR;
  GLenum magFilter = GL_LINEAR;
  GLenum wrapS = GL_REPEAT;
  GLenum wrapT = GL_REPEAT;
  float borderColor[4] = {0.0f, 0.0f, 0.0f, 0.0f};
};

// Brings the parts of *gl named by `dirty` up to date with `state`.
// hasDepthBuffer: without one the depth test stays off whatever D3DRS_ZENABLE says.
void GlDrawStateFromD3D(const DeviceState& state, uint32_t dirty, bool hasDepthBuffer,
                        GlDrawState* gl);

}  // namespace platform
