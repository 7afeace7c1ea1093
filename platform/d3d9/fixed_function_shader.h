// The one GLSL 330 core program that stands in for Direct3D 9's unlit
// fixed-function pipeline: position through world × view × projection (the
// product is made on the CPU), Direct3D's 0..w clip depth and pixel centres,
// diffuse from the vertex (opaque white when the FVF has none), texture stage 0
// as texture × diffuse with the texture's alpha, and table fog on the eye depth.
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

// Fog modes as the shader sees them (the D3DFOG_* numbers).
enum ShaderFogMode : GLint {
  kShaderFogNone = 0,
  kShaderFogExp = 1,
  kShaderFogExp2 = 2,
  kShaderFogLinear = 3
};

class FixedFunctionShader {
 public:
  // zeroToOneDepth: glClipControl maps 0..w already; otherwise the vertex
  // shader remaps z itself.
  bool Build(bool zeroToOneDepth, std::string* error);
  void Destroy();

  GLuint Program() const { return m_program; }
  GLint WorldViewProjLocation() const { return m_worldViewProj; }
  GLint PixelOffsetLocation() const { return m_pixelOffset; }
  GLint UseTextureLocation() const { return m_useTexture; }
  GLint FogModeLocation() const { return m_fogMode; }
  GLint FogParamsLocation() const { return m_fogParams; }
  GLint FogColorLocation() const { return m_fogColor; }

 private:
  GLuint m_program = 0;
  GLint m_worldViewProj = -1;
  GLint m_pixelOffset = -1;
  GLint m_useTexture = -1;
  GLint m_fogMode = -1;
  GLint m_fogParams = -1;
  GLint m_fogColor = -1;
};

}  // namespace platform
