// Direct3D 9 to OpenGL enumeration translations.
#include "d3d9/translate.h"

#include <cstring>

namespace platform {

GLenum GlCompareFromD3D(DWORD cmp) {
  switch (cmp) {
    case D3DCMP_NEVER: return GL_NEVER;
    case D3DCMP_LESS: return GL_LESS;
    case D3DCMP_EQUAL: return GL_EQUAL;
    case D3DCMP_LESSEQUAL: return GL_LEQUAL;
    case D3DCMP_GREATER: return GL_GREATER;
    case D3DCMP_NOTEQUAL: return GL_NOTEQUAL;
    case D3DCMP_GREATEREQUAL: return GL_GEQUAL;
    case D3DCMP_ALWAYS: return GL_ALWAYS;
    default: return GL_LEQUAL;
  }
}

std::optional<GLenum> GlPrimitiveFromD3D(D3DPRIMITIVETYPE type) {
  switch (type) {
    case D3DPT_POINTLIST: return GLenum{GL_POINTS};
    case D3DPT_LINELIST: return GLenum{GL_LINES};
    case D3DPT_LINESTRIP: return GLenum{GL_LINE_STRIP};
    case D3DPT_TRIANGLELIST: return GLenum{GL_TRIANGLES};
    case D3DPT_TRIANGLESTRIP: return GLenum{GL_TRIANGLE_STRIP};
    case D3DPT_TRIANGLEFAN: return GLenum{GL_TRIANGLE_FAN};
    default: return std::nullopt;
  }
}

UINT VertexCountFromPrimitives(D3DPRIMITIVETYPE type, UINT primitives) {
  if (primitives == 0) return 0;
  switch (type) {
    case D3DPT_POINTLIST: return primitives;
    case D3DPT_LINELIST: return primitives * 2;
    case D3DPT_LINESTRIP: return primitives + 1;
    case D3DPT_TRIANGLELIST: return primitives * 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN: return primitives + 2;
    default: return 0;
  }
}

GLenum GlMagFilterFromD3D(DWORD magFilter) {
  return magFilter == D3DTEXF_POINT || magFilter == D3DTEXF_NONE ? GL_NEAREST : GL_LINEAR;
}

GLenum GlMinFilterFromD3D(DWORD minFilter, DWORD mipFilter) {
  const bool linear = !(minFilter == D3DTEXF_POINT || minFilter == D3DTEXF_NONE);
  switch (mipFilter) {
    case D3DTEXF_NONE: return linear ? GL_LINEAR : GL_NEAREST;
    case D3DTEXF_POINT: return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    default: return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
  }
}

GLenum GlAddressFromD3D(DWORD address) {
  switch (address) {
    case D3DTADDRESS_MIRROR: return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP: return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER: return GL_CLAMP_TO_BORDER;
    default: return GL_REPEAT;
  }
}

GLenum GlBlendFromD3D(DWORD blend) {
  switch (blend) {
    case D3DBLEND_ZERO: return GL_ZERO;
    case D3DBLEND_ONE: return GL_ONE;
    case D3DBLEND_SRCCOLOR: return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR: return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA: return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA: return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA: return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR: return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR: return GL_ONE_MINUS_DST_COLOR;
    case D3DBLEND_SRCALPHASAT: return GL_SRC_ALPHA_SATURATE;
    default: return GL_ONE;
  }
}

GLenum GlPolygonModeFromD3D(DWORD fill) {
  switch (fill) {
    case D3DFILL_POINT: return GL_POINT;
    case D3DFILL_WIREFRAME: return GL_LINE;
    default: return GL_FILL;
  }
}

namespace {

int TexCoordComponents(DWORD fvf, UINT set) {
  // TEXCOORDSIZE1 sets both bits of the set's field, so it is the mask too.
  const DWORD field = fvf & D3DFVF_TEXCOORDSIZE1(set);
  if (field == D3DFVF_TEXCOORDSIZE1(set)) return 1;
  if (field == D3DFVF_TEXCOORDSIZE3(set)) return 3;
  if (field == D3DFVF_TEXCOORDSIZE4(set)) return 4;
  return 2;  // D3DFVF_TEXCOORDSIZE2: the field is clear
}

}  // namespace

FvfLayout FvfLayoutFromD3D(DWORD fvf) {
  // Every D3DFVF_TEXCOORDSIZEn field of the eight sets.
  constexpr DWORD kTexCoordSizeBits = D3DFVF_TEXCOORDSIZE1(0) | D3DFVF_TEXCOORDSIZE1(1) |
                                      D3DFVF_TEXCOORDSIZE1(2) | D3DFVF_TEXCOORDSIZE1(3) |
                                      D3DFVF_TEXCOORDSIZE1(4) | D3DFVF_TEXCOORDSIZE1(5) |
                                      D3DFVF_TEXCOORDSIZE1(6) | D3DFVF_TEXCOORDSIZE1(7);
  constexpr DWORD kKnownBits = D3DFVF_POSITION_MASK | D3DFVF_NORMAL | D3DFVF_PSIZE |
                               D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEXCOUNT_MASK |
                               kTexCoordSizeBits | D3DFVF_LASTBETA_UBYTE4;
  FvfLayout layout;
  if ((fvf & D3DFVF_POSITION_MASK) != D3DFVF_XYZ) return layout;
  if (fvf & ~kKnownBits) return layout;
  UINT offset = 12;
  if (fvf & D3DFVF_NORMAL) {
    layout.hasNormal = true;
    offset += 12;
  }
  if (fvf & D3DFVF_PSIZE) offset += 4;
  if (fvf & D3DFVF_DIFFUSE) {
    layout.diffuseOffset = static_cast<int>(offset);
    offset += 4;
  }
  if (fvf & D3DFVF_SPECULAR) offset += 4;
  const UINT texCount = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
  if (texCount > D3DDP_MAXTEXCOORD) return layout;
  for (UINT set = 0; set < texCount; ++set) {
    const int components = TexCoordComponents(fvf, set);
    if (set == 0) {
      layout.texCoordOffset = static_cast<int>(offset);
      layout.texCoordComponents = components;
    }
    offset += static_cast<UINT>(components) * 4;
  }
  layout.size = offset;
  layout.valid = true;
  return layout;
}

ShaderFogMode ShaderFogFromD3D(BOOL enabled, DWORD tableMode, DWORD vertexMode) {
  if (!enabled) return kShaderFogNone;
  const DWORD mode = tableMode != D3DFOG_NONE ? tableMode : vertexMode;
  switch (mode) {
    case D3DFOG_EXP: return kShaderFogExp;
    case D3DFOG_EXP2: return kShaderFogExp2;
    case D3DFOG_LINEAR: return kShaderFogLinear;
    default: return kShaderFogNone;
  }
}

void GlDrawStateFromD3D(const DeviceState& state, uint32_t dirty, bool hasDepthBuffer,
                        GlDrawState* gl) {
  if (dirty & kDirtyTransform) {
    const D3DMATRIX product =
        MultiplyMatrices(MultiplyMatrices(state.World(), state.View()), state.Projection());
    std::memcpy(gl->worldViewProj, &product.m[0][0], sizeof gl->worldViewProj);
  }
  if (dirty & kDirtyFog) {
    gl->fogMode = ShaderFogFromD3D(static_cast<BOOL>(state.RenderState(D3DRS_FOGENABLE)),
                                   state.RenderState(D3DRS_FOGTABLEMODE),
                                   state.RenderState(D3DRS_FOGVERTEXMODE));
    const float start = state.RenderStateFloat(D3DRS_FOGSTART);
    const float end = state.RenderStateFloat(D3DRS_FOGEND);
    // start == end: everything nearer than end is clear, the rest fogged.
    gl->fogParams[0] = end;
    gl->fogParams[1] = end != start ? 1.0f / (end - start) : 1.0e30f;
    gl->fogParams[2] = state.RenderStateFloat(D3DRS_FOGDENSITY);
    float rgba[4];
    RgbaFromD3DColor(state.RenderState(D3DRS_FOGCOLOR), rgba);
    std::memcpy(gl->fogColor, rgba, sizeof gl->fogColor);
  }
  if (dirty & kDirtyDepth) {
    gl->depthTest = hasDepthBuffer && state.RenderState(D3DRS_ZENABLE) != D3DZB_FALSE;
    gl->depthWrite = state.RenderState(D3DRS_ZWRITEENABLE) != FALSE;
    gl->depthFunc = GlCompareFromD3D(state.RenderState(D3DRS_ZFUNC));
  }
  if (dirty & kDirtyCull) {
    // The front face is clockwise: D3DCULL_CCW culls back faces, D3DCULL_CW front ones.
    const DWORD mode = state.RenderState(D3DRS_CULLMODE);
    gl->cullEnabled = mode == D3DCULL_CW || mode == D3DCULL_CCW;
    gl->cullFace = mode == D3DCULL_CW ? GL_FRONT : GL_BACK;
  }
  if (dirty & kDirtyFill) gl->polygonMode = GlPolygonModeFromD3D(state.RenderState(D3DRS_FILLMODE));
  if (dirty & kDirtyBlend) {
    gl->blendEnabled = state.RenderState(D3DRS_ALPHABLENDENABLE) != FALSE;
    gl->blendSrc = GlBlendFromD3D(state.RenderState(D3DRS_SRCBLEND));
    gl->blendDst = GlBlendFromD3D(state.RenderState(D3DRS_DESTBLEND));
  }
  if (dirty & kDirtySampler) {
    gl->minFilter = GlMinFilterFromD3D(state.SamplerState(D3DSAMP_MINFILTER),
                                       state.SamplerState(D3DSAMP_MIPFILTER));
    gl->magFilter = GlMagFilterFromD3D(state.SamplerState(D3DSAMP_MAGFILTER));
    gl->wrapS = GlAddressFromD3D(state.SamplerState(D3DSAMP_ADDRESSU));
    gl->wrapT = GlAddressFromD3D(state.SamplerState(D3DSAMP_ADDRESSV));
    RgbaFromD3DColor(state.SamplerState(D3DSAMP_BORDERCOLOR), gl->borderColor);
  }
}

void RgbaFromD3DColor(D3DCOLOR color, float rgba[4]) {
  rgba[0] = static_cast<float>((color >> 16) & 0xff) / 255.0f;
  rgba[1] = static_cast<float>((color >> 8) & 0xff) / 255.0f;
  rgba[2] = static_cast<float>(color & 0xff) / 255.0f;
  rgba[3] = static_cast<float>((color >> 24) & 0xff) / 255.0f;
}

}  // namespace platform
