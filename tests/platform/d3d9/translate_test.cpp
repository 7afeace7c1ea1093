// Direct3D 9 to OpenGL translations and FVF layouts.
#include "d3d9/translate.h"

#include <gtest/gtest.h>

#include <cstring>

namespace platform {
namespace {

TEST(D3D9Translate, CompareFunctions) {
  EXPECT_EQ(GlCompareFromD3D(D3DCMP_NEVER), static_cast<GLenum>(GL_NEVER));
  EXPECT_EQ(GlCompareFromD3D(D3DCMP_LESS), static_cast<GLenum>(GL_LESS));
  EXPECT_EQ(GlCompareFromD3D(D3DCMP_EQUAL), static_cast<GLenum>(GL_EQUAL));
  EXPECT_EQ(GlCompareFromD3D(D3DCMP_LESSEQUAL), static_cast<GLenum>(GL_LEQUAL));
  EXPECT_EQ(GlCompareFromD3D(D3DCMP_GREATER), static_cast<GLenum>(GL_GREATER));
  EXPECT_EQ(GlCompareFromD3D(D3DCMP_NOTEQUAL), static_cast<GLenum>(GL_NOTEQUAL));
  EXPECT_EQ(GlCompareFromD3D(D3DCMP_GREATEREQUAL), static_cast<GLenum>(GL_GEQUAL));
  EXPECT_EQ(GlCompareFromD3D(D3DCMP_ALWAYS), static_cast<GLenum>(GL_ALWAYS));
}

TEST(D3D9Translate, PrimitivesAndVertexCounts) {
  EXPECT_EQ(GlPrimitiveFromD3D(D3DPT_TRIANGLESTRIP), std::optional<GLenum>(GL_TRIANGLE_STRIP));
  EXPECT_EQ(GlPrimitiveFromD3D(D3DPT_TRIANGLEFAN), std::optional<GLenum>(GL_TRIANGLE_FAN));
  EXPECT_EQ(GlPrimitiveFromD3D(D3DPT_TRIANGLELIST), std::optional<GLenum>(GL_TRIANGLES));
  EXPECT_EQ(GlPrimitiveFromD3D(D3DPT_POINTLIST), std::optional<GLenum>(GL_POINTS));
  EXPECT_FALSE(GlPrimitiveFromD3D(static_cast<D3DPRIMITIVETYPE>(0)).has_value());
  EXPECT_FALSE(GlPrimitiveFromD3D(static_cast<D3DPRIMITIVETYPE>(7)).has_value());

  // The program's three draws: floor strip, pyramid fan, cube list.
  EXPECT_EQ(VertexCountFromPrimitives(D3DPT_TRIANGLESTRIP, 2), 4u);
  EXPECT_EQ(VertexCountFromPrimitives(D3DPT_TRIANGLEFAN, 4), 6u);
  EXPECT_EQ(VertexCountFromPrimitives(D3DPT_TRIANGLELIST, 12), 36u);
  EXPECT_EQ(VertexCountFromPrimitives(D3DPT_POINTLIST, 5), 5u);
  EXPECT_EQ(VertexCountFromPrimitives(D3DPT_LINELIST, 5), 10u);
  EXPECT_EQ(VertexCountFromPrimitives(D3DPT_LINESTRIP, 5), 6u);
  EXPECT_EQ(VertexCountFromPrimitives(D3DPT_TRIANGLESTRIP, 0), 0u);
  EXPECT_EQ(VertexCountFromPrimitives(static_cast<D3DPRIMITIVETYPE>(9), 3), 0u);
}

TEST(D3D9Translate, SamplerFiltersAndAddressing) {
  EXPECT_EQ(GlMagFilterFromD3D(D3DTEXF_POINT), static_cast<GLenum>(GL_NEAREST));
  EXPECT_EQ(GlMagFilterFromD3D(D3DTEXF_LINEAR), static_cast<GLenum>(GL_LINEAR));
  EXPECT_EQ(GlMagFilterFromD3D(D3DTEXF_ANISOTROPIC), static_cast<GLenum>(GL_LINEAR));
  EXPECT_EQ(GlMinFilterFromD3D(D3DTEXF_POINT, D3DTEXF_NONE), static_cast<GLenum>(GL_NEAREST));
  EXPECT_EQ(GlMinFilterFromD3D(D3DTEXF_LINEAR, D3DTEXF_NONE), static_cast<GLenum>(GL_LINEAR))
      << "no mip filter samples level 0 only";
  EXPECT_EQ(GlMinFilterFromD3D(D3DTEXF_LINEAR, D3DTEXF_POINT),
            static_cast<GLenum>(GL_LINEAR_MIPMAP_NEAREST));
  EXPECT_EQ(GlMinFilterFromD3D(D3DTEXF_POINT, D3DTEXF_LINEAR),
            static_cast<GLenum>(GL_NEAREST_MIPMAP_LINEAR));
  EXPECT_EQ(GlAddressFromD3D(D3DTADDRESS_WRAP), static_cast<GLenum>(GL_REPEAT));
  EXPECT_EQ(GlAddressFromD3D(D3DTADDRESS_MIRROR), static_cast<GLenum>(GL_MIRRORED_REPEAT));
  EXPECT_EQ(GlAddressFromD3D(D3DTADDRESS_CLAMP), static_cast<GLenum>(GL_CLAMP_TO_EDGE));
  EXPECT_EQ(GlAddressFromD3D(D3DTADDRESS_BORDER), static_cast<GLenum>(GL_CLAMP_TO_BORDER));
  EXPECT_EQ(GlPolygonModeFromD3D(D3DFILL_SOLID), static_cast<GLenum>(GL_FILL));
  EXPECT_EQ(GlPolygonModeFromD3D(D3DFILL_WIREFRAME), static_cast<GLenum>(GL_LINE));
  EXPECT_EQ(GlPolygonModeFromD3D(D3DFILL_POINT), static_cast<GLenum>(GL_POINT));
}

TEST(D3D9Translate, FvfLayoutsOfTheProgramsVertices) {
  const FvfLayout textured = FvfLayoutFromD3D(D3DFVF_XYZ | D3DFVF_TEX1);
  ASSERT_TRUE(textured.valid);
  EXPECT_EQ(textured.size, 20u);
  EXPECT_EQ(textured.diffuseOffset, -1);
  EXPECT_EQ(textured.texCoordOffset, 12);
  EXPECT_EQ(textured.texCoordComponents, 2);

  const FvfLayout colored = FvfLayoutFromD3D(D3DFVF_XYZ | D3DFVF_DIFFUSE);
  ASSERT_TRUE(colored.valid);
  EXPECT_EQ(colored.size, 16u);
  EXPECT_EQ(colored.diffuseOffset, 12);
  EXPECT_EQ(colored.texCoordOffset, -1);

  const FvfLayout full =
      FvfLayoutFromD3D(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX2);
  ASSERT_TRUE(full.valid);
  EXPECT_TRUE(full.hasNormal);
  EXPECT_EQ(full.diffuseOffset, 24);
  EXPECT_EQ(full.texCoordOffset, 32);
  EXPECT_EQ(full.size, 48u);

  // Set sizes come from each set's own two bits: set 0 one float, set 1 four.
  const FvfLayout sized = FvfLayoutFromD3D(D3DFVF_XYZ | D3DFVF_PSIZE | D3DFVF_TEX2 |
                                           D3DFVF_TEXCOORDSIZE1(0) | D3DFVF_TEXCOORDSIZE4(1));
  ASSERT_TRUE(sized.valid);
  EXPECT_EQ(sized.texCoordOffset, 16);
  EXPECT_EQ(sized.texCoordComponents, 1);
  EXPECT_EQ(sized.size, 36u);

  EXPECT_FALSE(FvfLayoutFromD3D(0).valid) << "no position";
  EXPECT_FALSE(FvfLayoutFromD3D(D3DFVF_XYZRHW | D3DFVF_DIFFUSE).valid) << "pre-transformed";
  EXPECT_FALSE(FvfLayoutFromD3D(D3DFVF_XYZW).valid) << "homogeneous position";
  EXPECT_FALSE(FvfLayoutFromD3D(D3DFVF_XYZ | D3DFVF_LASTBETA_D3DCOLOR).valid) << "unknown bit";
}

TEST(D3D9Translate, ColourChannelsComeOutOfArgb) {
  float rgba[4];
  RgbaFromD3DColor(0xFFCCCCFF, rgba);
  EXPECT_FLOAT_EQ(rgba[0], 204.0f / 255.0f);
  EXPECT_FLOAT_EQ(rgba[1], 204.0f / 255.0f);
  EXPECT_FLOAT_EQ(rgba[2], 1.0f);
  EXPECT_FLOAT_EQ(rgba[3], 1.0f);
  RgbaFromD3DColor(0x80102030, rgba);
  EXPECT_FLOAT_EQ(rgba[0], 16.0f / 255.0f);
  EXPECT_FLOAT_EQ(rgba[2], 48.0f / 255.0f);
  EXPECT_FLOAT_EQ(rgba[3], 128.0f / 255.0f);
}

DWORD FloatBits(float value) {
  DWORD bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

TEST(D3D9Translate, DrawStateTakesOnlyTheDirtyPartsInGlTerms) {
  DeviceState state(true);
  GlDrawState gl;
  GlDrawStateFromD3D(state, kDirtyAll, true, &gl);
  EXPECT_TRUE(gl.depthTest);
  EXPECT_TRUE(gl.depthWrite);
  EXPECT_EQ(gl.depthFunc, static_cast<GLenum>(GL_LEQUAL));
  EXPECT_TRUE(gl.cullEnabled) << "D3DCULL_CCW";
  EXPECT_EQ(gl.cullFace, static_cast<GLenum>(GL_BACK));
  EXPECT_FALSE(gl.blendEnabled);
  EXPECT_EQ(gl.blendSrc, static_cast<GLenum>(GL_ONE));
  EXPECT_EQ(gl.blendDst, static_cast<GLenum>(GL_ZERO));
  EXPECT_EQ(gl.minFilter, static_cast<GLenum>(GL_NEAREST));
  EXPECT_EQ(gl.wrapS, static_cast<GLenum>(GL_REPEAT));
  EXPECT_EQ(gl.fogMode, kShaderFogNone);

  GlDrawState noDepthBuffer;
  GlDrawStateFromD3D(state, kDirtyDepth, false, &noDepthBuffer);
  EXPECT_FALSE(noDepthBuffer.depthTest);

  state.SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
  state.SetRenderState(D3DRS_FOGENABLE, TRUE);
  state.SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);
  state.SetRenderState(D3DRS_FOGSTART, FloatBits(25.0f));
  state.SetRenderState(D3DRS_FOGEND, FloatBits(70.0f));
  state.SetRenderState(D3DRS_FOGCOLOR, 0xFFCCCCFFu);
  GlDrawStateFromD3D(state, kDirtyCull, true, &gl);
  EXPECT_EQ(gl.cullFace, static_cast<GLenum>(GL_FRONT));
  EXPECT_EQ(gl.fogMode, kShaderFogNone) << "fog was not asked for";
  GlDrawStateFromD3D(state, kDirtyFog, true, &gl);
  EXPECT_EQ(gl.fogMode, kShaderFogLinear) << "vertex fog drawn as table fog";
  EXPECT_FLOAT_EQ(gl.fogParams[0], 70.0f);
  EXPECT_FLOAT_EQ(gl.fogParams[1], 1.0f / 45.0f);
  EXPECT_FLOAT_EQ(gl.fogColor[2], 1.0f);

  D3DMATRIX world = IdentityMatrix();
  world._41 = 3.0f;
  D3DMATRIX view = IdentityMatrix();
  view._42 = 5.0f;
  state.SetTransform(D3DTS_WORLD, world);
  state.SetTransform(D3DTS_VIEW, view);
  GlDrawStateFromD3D(state, kDirtyTransform, true, &gl);
  EXPECT_FLOAT_EQ(gl.worldViewProj[12], 3.0f) << "row-major, translation in the fourth row";
  EXPECT_FLOAT_EQ(gl.worldViewProj[13], 5.0f);
}

TEST(D3D9Translate, TableFogWinsOverVertexFog) {
  EXPECT_EQ(ShaderFogFromD3D(FALSE, D3DFOG_LINEAR, D3DFOG_LINEAR), kShaderFogNone);
  EXPECT_EQ(ShaderFogFromD3D(TRUE, D3DFOG_EXP, D3DFOG_LINEAR), kShaderFogExp);
  EXPECT_EQ(ShaderFogFromD3D(TRUE, D3DFOG_NONE, D3DFOG_EXP2), kShaderFogExp2);
  EXPECT_EQ(ShaderFogFromD3D(TRUE, 7, D3DFOG_NONE), kShaderFogNone) << "unknown mode";
}

}  // namespace
}  // namespace platform
