// The GLSL 330 core programs that stand in for Direct3D 9's unlit
// fixed-function pipeline: position through world × view × projection (the
// product is made on the CPU), Direct3D's 0..w clip depth and pixel centres,
// diffuse from the vertex (opaque white when the FVF has none), texture stage 0
// as texture × diffuse with the texture's alpha, and table fog on the eye depth.
//
// One program per combination of texture on/off and fog mode, built the first
// time a draw needs it, each with the branches taken out by the preprocessor:
// a software rasteriser (llvmpipe) runs both sides of a branch on a uniform
// for every pixel, which made the one-program-for-all version about half as
// fast as a plain shader. Each variant computes exactly what the same branch
// did, so the pixels do not change.
//
// Limits: no lighting, no specular, one texture stage with its default
// operation, no alpha test, flat shading drawn smooth.
#pragma once

#include <GL/glcorearb.h>

#include <string>

namespace platform {

// Vertex attribute locations; a missing attribute takes the generic value the
// renderer sets once per context (diffuse white, texture coordinate 0,0).
enum ShaderAttribute : GLuint {
  kAttributePosition = 0,
  kAttributeDiffuse = 1,
  kAttributeTexCoord = 2,
};

// Fog formulas as the shader variants know them (translate.h maps D3DFOG_*).
enum ShaderFogMode : GLint {
  kShaderFogNone = 0,
  kShaderFogExp = 1,
  kShaderFogExp2 = 2,
  kShaderFogLinear = 3
};

// One built program and where its uniforms are.
struct ShaderVariant {
  GLuint program = 0;
  GLint worldViewProj = -1;
  GLint pixelOffset = -1;
  GLint fogParams = -1;
  GLint fogColor = -1;
};

class FixedFunctionShader {
 public:
  static constexpr int kVariantCount = 8;

  // zeroToOneDepth: glClipControl maps 0..w already; otherwise the vertex
  // shader remaps z itself. Builds the plain variant (no texture, no fog) to
  // find out early whether the driver takes the sources.
  bool Init(bool zeroToOneDepth, std::string* error);
  void Destroy();
  // Drops the programs without deleting them: their context is gone.
  void Forget();

  // 0..kVariantCount-1 for a combination.
  static int VariantIndex(bool textured, ShaderFogMode fogMode) {
    return (textured ? 4 : 0) + static_cast<int>(fogMode);
  }
  // The variant, built on first use (which makes it the current program);
  // null if it fails to build (logged once).
  const ShaderVariant* Variant(int index);

 private:
  bool Build(int index, std::string* error);

  bool m_zeroToOneDepth = true;
  ShaderVariant m_variants[kVariantCount];
};

}  // namespace platform
