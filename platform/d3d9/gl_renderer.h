// The device's OpenGL back end: the back buffer, the fixed-function programs
// (one per texture/fog combination), and the GL state of each draw. It
// receives plain GL values (GlDrawState, made from the Direct3D state by the
// pure functions of translate.h), compares them with what it set last and
// only issues calls for what changed; it never reads a Direct3D state value.
// It also caches what it bound (program, vertex array, texture, which
// uniforms each program has seen). Resources create, fill and delete their
// GL objects through it so that the cache never goes stale.
//
// The back buffer is the window's own framebuffer whenever that can serve:
// the same size as the back buffer, 8-bit red, green and blue (and alpha for
// A8R8G8B8), and at least the depth bits the automatic depth format asks for
// (a 24-bit buffer serves D3DFMT_D16, as on real hardware: Direct3D fixes no
// depth precision). That is the case on X11, Wayland and SDL's offscreen
// driver alike, and it saves a full-screen copy per frame. Otherwise (no
// depth buffer where one is asked, another size) it is a framebuffer object
// with an RGBA8 colour and a depth renderbuffer of the asked format, copied
// into the window by Present. Which one is logged once. llvmpipe converts
// colours into the window's B8G8R8X8 with a rounding of its own, so a few
// pixels differ by one step of 255 from the framebuffer-object path; both
// agree with Wine's Direct3D 9 equally well. Blending on the destination
// alpha of an X8R8G8B8 back buffer reads 1 from a window without alpha bits,
// as Direct3D does.
//
// A context that the browser gave back after a loss has none of the GL
// objects made before: Recreate forgets their names without deleting them,
// makes its own objects again and starts the state cache over, so that the
// next draw sets everything; the resources then make theirs through it.
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
  // windowMatches: the window's drawable has the back buffer's size and
  // keeps it, and the back buffer is 8-bit RGB, so the window's framebuffer
  // may serve as the back buffer if its formats match too. needsAlpha: the
  // back buffer stores alpha (A8R8G8B8); X8R8G8B8 takes a window without.
  bool Init(UINT width, UINT height, GLenum depthFormat, bool windowMatches, bool needsAlpha,
            std::string* error);
  void Shutdown();
  // On a context that came back after a loss: the back buffer, the programs
  // and the sampler made again as Init made them, the cache as after Init.
  bool Recreate(std::string* error);

  // Brings GL up to the parts of `state` named by `dirty` (device_state.h's
  // bits), comparing with what it set before, and draws `count` vertices
  // from `first` out of `vao`, with `texture` on unit 0 (0: untextured).
  void Draw(const GlDrawState& state, uint32_t dirty, GLuint vao, GLuint texture, GLenum mode,
            GLint first, GLsizei count);
  // Clears the whole back buffer, or the given rectangles (top-left origin).
  void Clear(DWORD flags, D3DCOLOR color, float z, const D3DRECT* rects, DWORD rectCount);
  // Copies the back buffer into the window's default framebuffer (the caller
  // swaps); nothing to do when the back buffer is the window's framebuffer.
  void BlitToWindow(int drawableWidth, int drawableHeight);
  bool DrawsIntoWindow() const { return m_framebuffer == 0; }
  // The back buffer as RGBA rows, top row first. shownBuffer: with the
  // window as the back buffer, read what the last swap showed instead (the
  // back buffer of a double-buffered window is undefined after a swap).
  void ReadBackBuffer(std::vector<uint8_t>* rgba, bool shownBuffer = false);

  GLuint CreateBuffer(UINT size, const void* data, bool dynamic);
  void UploadBuffer(GLuint buffer, UINT offset, UINT size, const void* data);
  void DeleteBuffer(GLuint buffer);
  GLuint CreateVertexArray(GLuint buffer, const FvfLayout& layout, UINT stride, UINT offset);
  void DeleteVertexArray(GLuint vao);
  // opaque: X8R8G8B8, whose alpha reads as 1 whatever its memory holds.
  GLuint CreateTexture(UINT width, UINT height, UINT levels, bool opaque);
  void UploadTextureLevel(GLuint texture, UINT level, UINT width, UINT height, const void* bgra,
                          bool opaque);
  void DeleteTexture(GLuint texture);

  UINT Width() const { return m_width; }
  UINT Height() const { return m_height; }

 private:
  void Apply(const GlDrawState& state, uint32_t dirty);
  void ApplySampler(const GlDrawState& state);
  // Makes the program for the texture and fog state current and brings its
  // uniforms up to date.
  void UseVariant(bool textured);
  void SetCapability(GLenum capability, bool enabled, bool* current);
  void BindTexture(GLuint texture);
  void SetDepthMask(bool write);
  // Whether the window's framebuffer has 8-bit colour (alpha too if needed)
  // and at least the asked depth bits; if not, *why says what it has.
  bool WindowFramebufferServes(GLenum depthFormat, bool needsAlpha, std::string* why);
  // The context state every frame relies on, once the back buffer is bound.
  bool FinishInit();

  UINT m_width = 0;
  UINT m_height = 0;
  // Init's arguments, for Recreate.
  GLenum m_depthFormat = 0;
  bool m_windowMatches = false;
  bool m_needsAlpha = false;
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
  // What GL has now, compared with what each draw asks for.
  GlDrawState m_applied;
  // The window's colour buffer drawn into (GL_BACK_LEFT when double-buffered).
  GLenum m_windowColor = GL_BACK_LEFT;
  std::vector<uint8_t> m_readScratch;
  // RGBA copies of BGRA texture levels, for dialects without BGRA uploads.
  std::vector<uint8_t> m_uploadScratch;
};

}  // namespace platform
