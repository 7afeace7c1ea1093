// The device's OpenGL back end: the back buffer, the fixed-function programs
// (one per texture/fog combination), and the translation of dirty Direct3D
// state into GL calls right before each draw. It caches what it bound
// (program, vertex array, texture, depth, cull, fill and blend state, which
// uniforms each program has seen) and only issues calls for what changed.
// Resources create, fill and delete their GL objects through it so that the
// cache never goes stale.
//
// The back buffer is a framebuffer object with an RGBA8 colour and a depth
// renderbuffer of the asked format, copied into the window by Present. With
// EF_D3D9_DRAW_INTO_WINDOW=1 in the environment it is instead the window's own
// framebuffer, when that has the back buffer's size and formats (8-bit red,
// green and blue, 8-bit alpha for A8R8G8B8 and none or 8 for X8R8G8B8, the
// depth bits asked for), as SDL's offscreen driver gives. That saves the copy
// and, on llvmpipe, about half the frame time of a mostly empty view, but
// llvmpipe converts colours into the window's B8G8R8X8 with another rounding:
// up to 1% of the pixels of a frame come out one or two steps (of 255) off, so
// it is not the default. Blending on the destination alpha of an X8R8G8B8
// back buffer then reads 1 from a window without alpha bits, as Direct3D does.
//
// Limits: one render target (the back buffer), one texture unit, one vertex
// stream. The device's context must be current for every call. With the
// window's framebuffer, reading the back buffer after Present relies on the
// window keeping its pixels over a swap, which SDL's offscreen (pbuffer)
// surfaces do.
#pragma once

#include <GL/glcorearb.h>
#include <d3d9.h>

#include <cstdint>
#include <string>
#include <vector>

#include "d3d9/device_state.h"
#include "d3d9/fixed_function_shader.h"
#include "d3d9/translate.h"

namespace platform {

class GlRenderer {
 public:
  // depthFormat: GL_DEPTH_COMPONENT16, GL_DEPTH24_STENCIL8, ... or 0 for none.
  // windowMatches: the window's drawable has the back buffer's size and
  // keeps it, and the back buffer is 8-bit RGB, so the window's framebuffer
  // may serve as the back buffer if its formats match too. needsAlpha: the
  // back buffer stores alpha (A8R8G8B8); X8R8G8B8 takes a window without.
  bool Init(UINT width, UINT height, GLenum depthFormat, bool windowMatches, bool needsAlpha,
            std::string* error);
  void Shutdown();

  // Applies the dirty state and draws `count` vertices from `first` out of `vao`.
  void Draw(DeviceState& state, GLuint vao, GLenum mode, GLint first, GLsizei count);
  // Clears the whole back buffer, or the given rectangles (top-left origin).
  void Clear(DWORD flags, D3DCOLOR color, float z, const D3DRECT* rects, DWORD rectCount);
  // Copies the back buffer into the window's default framebuffer (the caller
  // swaps); nothing to do when the back buffer is the window's framebuffer.
  void BlitToWindow(int drawableWidth, int drawableHeight);
  bool DrawsIntoWindow() const { return m_framebuffer == 0; }
  // The back buffer as RGBA rows, top row first.
  void ReadBackBuffer(std::vector<uint8_t>* rgba);

  GLuint CreateBuffer(UINT size, const void* data, bool dynamic);
  void UploadBuffer(GLuint buffer, UINT offset, UINT size, const void* data);
  void DeleteBuffer(GLuint buffer);
  GLuint CreateVertexArray(GLuint buffer, const FvfLayout& layout, UINT stride, UINT offset);
  void DeleteVertexArray(GLuint vao);
  // opaque: X8R8G8B8, whose alpha reads as 1.
  GLuint CreateTexture(UINT width, UINT height, UINT levels, bool opaque);
  void UploadTextureLevel(GLuint texture, UINT level, UINT width, UINT height, const void* bgra);
  void DeleteTexture(GLuint texture);

  UINT Width() const { return m_width; }
  UINT Height() const { return m_height; }

 private:
  void ApplyState(DeviceState& state);
  void ApplyFog(const DeviceState& state);
  // Makes the program for the texture and fog state current and brings its
  // uniforms up to date.
  void UseVariant(bool textured);
  void ApplySampler(const DeviceState& state);
  void BindTexture(GLuint texture);
  void SetDepthMask(bool write);
  bool WindowFramebufferMatches(GLenum depthFormat, bool needsAlpha);
  // The context state every frame relies on, once the back buffer is bound.
  bool FinishInit();

  UINT m_width = 0;
  UINT m_height = 0;
  GLuint m_framebuffer = 0;
  GLuint m_colorBuffer = 0;
  GLuint m_depthBuffer = 0;
  bool m_hasDepth = false;
  GLuint m_sampler = 0;
  FixedFunctionShader m_shader;

  // What GL has bound/set now, to skip redundant calls.
  GLuint m_boundVao = 0;
  GLuint m_boundTexture = 0;
  // The current program, and per program (bit = variant index) whether the
  // values below are still to be uploaded to it.
  static constexpr uint32_t kAllVariants = (1u << FixedFunctionShader::kVariantCount) - 1;
  const ShaderVariant* m_variant = nullptr;
  int m_variantIndex = -1;
  uint32_t m_transformStale = kAllVariants;
  uint32_t m_fogStale = kAllVariants;
  uint32_t m_pixelOffsetStale = kAllVariants;
  D3DMATRIX m_worldViewProj{};
  GLint m_fogMode = kShaderFogNone;
  float m_fogParams[3] = {0.0f, 0.0f, 0.0f};
  float m_fogColor[3] = {0.0f, 0.0f, 0.0f};
  bool m_depthTest = false;
  bool m_depthWrite = true;
  GLenum m_depthFunc = GL_LESS;
  bool m_cullEnabled = false;
  GLenum m_cullFace = GL_BACK;
  GLenum m_polygonMode = GL_FILL;
  bool m_blendEnabled = false;
  GLenum m_blendSrc = GL_ONE;
  GLenum m_blendDst = GL_ZERO;
  GLenum m_minFilter = 0;
  GLenum m_magFilter = 0;
  GLenum m_wrapS = 0;
  GLenum m_wrapT = 0;
  DWORD m_borderColor = 0xFFFFFFFFu;
  // RGBA copies of BGRA texture levels, for dialects without BGRA uploads.
  std::vector<uint8_t> m_uploadScratch;
};

}  // namespace platform
