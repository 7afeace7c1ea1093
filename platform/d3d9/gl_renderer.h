// The device's OpenGL back end: the back buffer (a framebuffer object with an
// RGBA8 colour and a 16/24-bit depth renderbuffer), the fixed-function
// program, and the translation of dirty Direct3D state into GL calls right
// before each draw. It caches what it bound (program, vertex array, texture,
// depth, cull, fill and blend state, the texture-use uniform) and only issues
// calls for what changed. Resources create, fill and delete their GL objects
// through it so that the cache never goes stale.
//
// Limits: one render target (the back buffer), one texture unit, one vertex
// stream. The device's context must be current for every call.
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
  bool Init(UINT width, UINT height, GLenum depthFormat, std::string* error);
  void Shutdown();

  // Applies the dirty state and draws `count` vertices from `first` out of `vao`.
  void Draw(DeviceState& state, GLuint vao, GLenum mode, GLint first, GLsizei count);
  // Clears the whole back buffer, or the given rectangles (top-left origin).
  void Clear(DWORD flags, D3DCOLOR color, float z, const D3DRECT* rects, DWORD rectCount);
  // Copies the back buffer into the window's default framebuffer (the caller swaps).
  void BlitToWindow(int drawableWidth, int drawableHeight);
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
  void ApplySampler(const DeviceState& state);
  void BindTexture(GLuint texture);
  void SetDepthMask(bool write);

  UINT m_width = 0;
  UINT m_height = 0;
  GLuint m_framebuffer = 0;
  GLuint m_colorBuffer = 0;
  GLuint m_depthBuffer = 0;
  GLuint m_sampler = 0;
  FixedFunctionShader m_shader;

  // What GL has bound/set now, to skip redundant calls.
  GLuint m_boundVao = 0;
  GLuint m_boundTexture = 0;
  GLint m_useTexture = -1;
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
};

}  // namespace platform
