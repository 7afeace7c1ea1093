// OpenGL back end of the Direct3D 9 device: back buffer, state application,
// draws, clears, presentation blit, read-back and resource GL objects.
#include "d3d9/gl_renderer.h"

#include <cstring>

#include "d3d9/gl_context.h"
#include "d3d9/gl_functions.h"
#include "d3d9/log.h"
#include "d3d9/texture.h"

namespace platform {

namespace {

GLint DepthBitsOf(GLenum depthFormat) {
  switch (depthFormat) {
    case GL_DEPTH_COMPONENT16: return 16;
    case GL_DEPTH_COMPONENT24:
    case GL_DEPTH24_STENCIL8: return 24;
    case GL_DEPTH_COMPONENT32: return 32;
    default: return 0;
  }
}

}  // namespace

bool GlRenderer::WindowFramebufferServes(GLenum depthFormat, bool needsAlpha, std::string* why) {
  GlFunctions& gl = Gl();
  gl.BindFramebuffer(GL_FRAMEBUFFER, 0);
  const auto bits = [&gl](GLenum attachment, GLenum what) {
    GLint value = -1;
    gl.GetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, attachment, what, &value);
    return value;
  };
  const GLint wantDepth = DepthBitsOf(depthFormat);
  const GLint depth = wantDepth ? bits(GL_DEPTH, GL_FRAMEBUFFER_ATTACHMENT_DEPTH_SIZE) : 0;
  // The colour of a double-buffered window is its back buffer, of a
  // single-buffered one (an offscreen pbuffer) its front buffer; OpenGL ES
  // (WebGL's canvas) names its one colour buffer GL_BACK and refuses the
  // desktop names.
  for (GLenum color : {GL_BACK_LEFT, GL_FRONT_LEFT, GL_BACK}) {
    // A name the driver refuses leaves the value unset (-1), or 0 in WebGL.
    const GLint type = bits(color, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE);
    if (type == GL_NONE || type == -1) continue;
    const GLint red = bits(color, GL_FRAMEBUFFER_ATTACHMENT_RED_SIZE);
    const GLint green = bits(color, GL_FRAMEBUFFER_ATTACHMENT_GREEN_SIZE);
    const GLint blue = bits(color, GL_FRAMEBUFFER_ATTACHMENT_BLUE_SIZE);
    const GLint alpha = bits(color, GL_FRAMEBUFFER_ATTACHMENT_ALPHA_SIZE);
    gl.GetError();  // a query the driver refused leaves an error behind
    // A deeper depth buffer serves a shallower format, as on real hardware
    // (a 24-bit buffer for D3DFMT_D16).
    const bool serves = red == 8 && green == 8 && blue == 8 &&
                        (alpha == 8 || (alpha == 0 && !needsAlpha)) && depth >= wantDepth;
    m_windowColor = color;
    if (!serves && why) {
      *why = "the window has " + std::to_string(red) + "/" + std::to_string(green) + "/" +
             std::to_string(blue) + "/" + std::to_string(alpha) + " colour bits and " +
             std::to_string(depth) + " depth bits, " + std::to_string(wantDepth) + " asked";
    }
    return serves;
  }
  gl.GetError();
  if (why) *why = "the window has no colour buffer";
  return false;
}

bool GlRenderer::Init(UINT width, UINT height, GLenum depthFormat, bool windowMatches,
                      bool needsAlpha, std::string* error) {
  GlFunctions& gl = Gl();
  m_width = width;
  m_height = height;
  m_hasDepth = depthFormat != 0;
  m_depthFormat = depthFormat;
  m_windowMatches = windowMatches;
  m_needsAlpha = needsAlpha;

  const bool clipControl = gl.ClipControl && GlHasExtensionOrVersion("GL_ARB_clip_control", 4, 5);
  if (clipControl) gl.ClipControl(GL_LOWER_LEFT, GL_ZERO_TO_ONE);
  if (!m_shader.Init(clipControl, error)) return false;

  std::string why = "the window's drawable differs in size or may be resized";
  if (windowMatches && WindowFramebufferServes(depthFormat, needsAlpha, &why)) {
    D3D9_VERBOSE_ONCE("the back buffer is the window's own framebuffer");
    return FinishInit();
  }
  D3D9_VERBOSE_ONCE("the back buffer is a framebuffer object copied into the window at Present: %s",
                    why.c_str());
  gl.GenFramebuffers(1, &m_framebuffer);
  gl.BindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
  gl.GenRenderbuffers(1, &m_colorBuffer);
  gl.BindRenderbuffer(GL_RENDERBUFFER, m_colorBuffer);
  gl.RenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, static_cast<GLsizei>(width),
                         static_cast<GLsizei>(height));
  gl.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_colorBuffer);
  if (depthFormat) {
    gl.GenRenderbuffers(1, &m_depthBuffer);
    gl.BindRenderbuffer(GL_RENDERBUFFER, m_depthBuffer);
    gl.RenderbufferStorage(GL_RENDERBUFFER, depthFormat, static_cast<GLsizei>(width),
                           static_cast<GLsizei>(height));
    const GLenum attachment =
        depthFormat == GL_DEPTH24_STENCIL8 ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT;
    gl.FramebufferRenderbuffer(GL_FRAMEBUFFER, attachment, GL_RENDERBUFFER, m_depthBuffer);
  }
  if (gl.CheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
    if (error) *error = "the back buffer's framebuffer object is incomplete";
    return false;
  }
  return FinishInit();
}

bool GlRenderer::FinishInit() {
  GlFunctions& gl = Gl();
  const GLsizei width = static_cast<GLsizei>(m_width);
  const GLsizei height = static_cast<GLsizei>(m_height);
  gl.Viewport(0, 0, width, height);

  gl.GenSamplers(1, &m_sampler);
  gl.BindSampler(0, m_sampler);
  gl.ActiveTexture(GL_TEXTURE0);

  // What a vertex without the attribute reads: opaque white, coordinate (0, 0).
  gl.VertexAttrib4f(kAttributeDiffuse, 1.0f, 1.0f, 1.0f, 1.0f);
  gl.VertexAttrib4f(kAttributeTexCoord, 0.0f, 0.0f, 0.0f, 1.0f);

  // Direct3D's default cull mode removes counter-clockwise triangles; with y
  // not flipped, clockwise on screen is clockwise for GL too.
  gl.FrontFace(GL_CW);
  gl.CullFace(GL_BACK);
  gl.DepthFunc(GL_LESS);
  gl.DepthMask(GL_TRUE);
  gl.Disable(GL_DEPTH_TEST);
  gl.Disable(GL_CULL_FACE);
  gl.Disable(GL_BLEND);
  gl.Disable(GL_SCISSOR_TEST);
  gl.PixelStorei(GL_PACK_ALIGNMENT, 1);
  gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);

  m_applied = GlDrawState{};  // what the calls above and a new sampler object set
  m_boundVao = 0;
  m_boundTexture = 0;
  m_variant = nullptr;
  m_variantIndex = -1;
  m_transformStale = m_fogStale = m_pixelOffsetStale = kAllVariants;
  D3D9_GL_CHECK();
  return true;
}

void GlRenderer::Shutdown() {
  GlFunctions& gl = Gl();
  m_shader.Destroy();
  if (m_sampler) gl.DeleteSamplers(1, &m_sampler);
  if (m_depthBuffer) gl.DeleteRenderbuffers(1, &m_depthBuffer);
  if (m_colorBuffer) gl.DeleteRenderbuffers(1, &m_colorBuffer);
  if (m_framebuffer) gl.DeleteFramebuffers(1, &m_framebuffer);
  m_sampler = m_depthBuffer = m_colorBuffer = m_framebuffer = 0;
}

bool GlRenderer::Recreate(std::string* error) {
  // The names belong to the lost context: deleting them on this one would
  // delete nothing, or another object that happens to have the name.
  m_shader.Forget();
  m_sampler = m_depthBuffer = m_colorBuffer = m_framebuffer = 0;
  return Init(m_width, m_height, m_depthFormat, m_windowMatches, m_needsAlpha, error);
}

void GlRenderer::SetDepthMask(bool write) {
  if (write == m_applied.depthWrite) return;
  Gl().DepthMask(write ? GL_TRUE : GL_FALSE);
  m_applied.depthWrite = write;
}

void GlRenderer::BindTexture(GLuint texture) {
  if (texture == m_boundTexture) return;
  Gl().BindTexture(GL_TEXTURE_2D, texture);
  m_boundTexture = texture;
}

void GlRenderer::UseVariant(bool textured) {
  GlFunctions& gl = Gl();
  const int index = FixedFunctionShader::VariantIndex(textured, m_applied.fogMode);
  if (index != m_variantIndex) {
    const ShaderVariant* variant = m_shader.Variant(index);
    if (!variant) return;  // logged; the previous program stays
    gl.UseProgram(variant->program);
    m_variant = variant;
    m_variantIndex = index;
  }
  // Uniforms belong to a program: each variant gets the values it has missed.
  const uint32_t bit = 1u << index;
  if (m_pixelOffsetStale & bit) {
    gl.Uniform2f(m_variant->pixelOffset, (63.0f / 64.0f) / static_cast<float>(m_width),
                 -(63.0f / 64.0f) / static_cast<float>(m_height));
    m_pixelOffsetStale &= ~bit;
  }
  if (m_transformStale & bit) {
    gl.UniformMatrix4fv(m_variant->worldViewProj, 1, GL_FALSE, m_applied.worldViewProj);
    m_transformStale &= ~bit;
  }
  if ((m_fogStale & bit) && m_applied.fogMode != kShaderFogNone) {
    const float* params = m_applied.fogParams;
    const float* color = m_applied.fogColor;
    gl.Uniform3f(m_variant->fogParams, params[0], params[1], params[2]);
    gl.Uniform3f(m_variant->fogColor, color[0], color[1], color[2]);
    m_fogStale &= ~bit;
  }
}

void GlRenderer::SetCapability(GLenum capability, bool enabled, bool* current) {
  if (enabled == *current) return;
  if (enabled)
    Gl().Enable(capability);
  else
    Gl().Disable(capability);
  *current = enabled;
}

void GlRenderer::ApplySampler(const GlDrawState& want) {
  GlFunctions& gl = Gl();
  GlDrawState& have = m_applied;
  const auto set = [&gl, this](GLenum name, GLenum value, GLenum* current) {
    if (value == *current) return;
    gl.SamplerParameteri(m_sampler, name, static_cast<GLint>(value));
    *current = value;
  };
  set(GL_TEXTURE_MIN_FILTER, want.minFilter, &have.minFilter);
  set(GL_TEXTURE_MAG_FILTER, want.magFilter, &have.magFilter);
  set(GL_TEXTURE_WRAP_S, want.wrapS, &have.wrapS);
  set(GL_TEXTURE_WRAP_T, want.wrapT, &have.wrapT);
  if (std::memcmp(want.borderColor, have.borderColor, sizeof have.borderColor) != 0) {
    gl.SamplerParameterfv(m_sampler, GL_TEXTURE_BORDER_COLOR, want.borderColor);
    std::memcpy(have.borderColor, want.borderColor, sizeof have.borderColor);
  }
}

void GlRenderer::Apply(const GlDrawState& want, uint32_t dirty) {
  GlFunctions& gl = Gl();
  GlDrawState& have = m_applied;
  if ((dirty & kDirtyTransform) &&
      std::memcmp(want.worldViewProj, have.worldViewProj, sizeof have.worldViewProj) != 0) {
    std::memcpy(have.worldViewProj, want.worldViewProj, sizeof have.worldViewProj);
    m_transformStale = kAllVariants;
  }
  if (dirty & kDirtyFog) {
    have.fogMode = want.fogMode;
    if (std::memcmp(want.fogParams, have.fogParams, sizeof have.fogParams) != 0 ||
        std::memcmp(want.fogColor, have.fogColor, sizeof have.fogColor) != 0) {
      std::memcpy(have.fogParams, want.fogParams, sizeof have.fogParams);
      std::memcpy(have.fogColor, want.fogColor, sizeof have.fogColor);
      m_fogStale = kAllVariants;
    }
  }
  if (dirty & kDirtyDepth) {
    SetCapability(GL_DEPTH_TEST, want.depthTest, &have.depthTest);
    SetDepthMask(want.depthWrite);
    if (want.depthFunc != have.depthFunc) {
      gl.DepthFunc(want.depthFunc);
      have.depthFunc = want.depthFunc;
    }
  }
  if (dirty & kDirtyCull) {
    SetCapability(GL_CULL_FACE, want.cullEnabled, &have.cullEnabled);
    if (want.cullEnabled && want.cullFace != have.cullFace) {
      gl.CullFace(want.cullFace);
      have.cullFace = want.cullFace;
    }
  }
  if ((dirty & kDirtyFill) && want.polygonMode != have.polygonMode) {
    gl.PolygonMode(GL_FRONT_AND_BACK, want.polygonMode);
    have.polygonMode = want.polygonMode;
  }
  if (dirty & kDirtyBlend) {
    SetCapability(GL_BLEND, want.blendEnabled, &have.blendEnabled);
    if (want.blendSrc != have.blendSrc || want.blendDst != have.blendDst) {
      gl.BlendFunc(want.blendSrc, want.blendDst);
      have.blendSrc = want.blendSrc;
      have.blendDst = want.blendDst;
    }
  }
  if (dirty & kDirtySampler) ApplySampler(want);
}

void GlRenderer::Draw(const GlDrawState& state, uint32_t dirty, GLuint vao, GLuint texture,
                      GLenum mode, GLint first, GLsizei count) {
  if (dirty) Apply(state, dirty);
  UseVariant(texture != 0);
  // Uploads bind textures too, so the binding is compared on every draw.
  if (texture) BindTexture(texture);
  if (vao != m_boundVao) {
    Gl().BindVertexArray(vao);
    m_boundVao = vao;
  }
  Gl().DrawArrays(mode, first, count);
  D3D9_GL_CHECK();
}

void GlRenderer::Clear(DWORD flags, D3DCOLOR color, float z, const D3DRECT* rects,
                       DWORD rectCount) {
  GlFunctions& gl = Gl();
  GLbitfield mask = 0;
  if (flags & D3DCLEAR_TARGET) {
    float rgba[4];
    RgbaFromD3DColor(color, rgba);
    gl.ClearColor(rgba[0], rgba[1], rgba[2], rgba[3]);
    mask |= GL_COLOR_BUFFER_BIT;
  }
  const bool restoreDepthMask = !m_applied.depthWrite;
  if ((flags & D3DCLEAR_ZBUFFER) && m_hasDepth) {
    gl.ClearDepth(z < 0.0f ? 0.0 : (z > 1.0f ? 1.0 : static_cast<double>(z)));
    SetDepthMask(true);  // glClear honours the depth write mask
    mask |= GL_DEPTH_BUFFER_BIT;
  }
  if (mask) {
    if (rectCount == 0) {
      gl.Clear(mask);
    } else {
      gl.Enable(GL_SCISSOR_TEST);
      for (DWORD i = 0; i < rectCount; ++i) {
        const LONG x1 = rects[i].x1 < 0 ? 0 : rects[i].x1;
        const LONG y1 = rects[i].y1 < 0 ? 0 : rects[i].y1;
        const LONG x2 =
            rects[i].x2 > static_cast<LONG>(m_width) ? static_cast<LONG>(m_width) : rects[i].x2;
        const LONG y2 =
            rects[i].y2 > static_cast<LONG>(m_height) ? static_cast<LONG>(m_height) : rects[i].y2;
        if (x2 <= x1 || y2 <= y1) continue;
        // Rectangles count from the top; GL's window origin is the bottom.
        gl.Scissor(x1, static_cast<GLint>(m_height) - y2, x2 - x1, y2 - y1);
        gl.Clear(mask);
      }
      gl.Disable(GL_SCISSOR_TEST);
    }
  }
  if (restoreDepthMask) SetDepthMask(false);
  D3D9_GL_CHECK();
}

void GlRenderer::BlitToWindow(int drawableWidth, int drawableHeight) {
  if (DrawsIntoWindow()) return;
  GlFunctions& gl = Gl();
  gl.BindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  gl.BindFramebuffer(GL_READ_FRAMEBUFFER, m_framebuffer);
  const bool sameSize =
      drawableWidth == static_cast<int>(m_width) && drawableHeight == static_cast<int>(m_height);
  gl.BlitFramebuffer(0, 0, static_cast<GLint>(m_width), static_cast<GLint>(m_height), 0, 0,
                     drawableWidth, drawableHeight, GL_COLOR_BUFFER_BIT,
                     sameSize ? GL_NEAREST : GL_LINEAR);
  gl.BindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
  D3D9_GL_CHECK();
}

void GlRenderer::ReadBackBuffer(std::vector<uint8_t>* rgba, bool shownBuffer) {
  const size_t rowBytes = static_cast<size_t>(m_width) * 4;
  rgba->resize(rowBytes * m_height);
  m_readScratch.resize(rgba->size());
  std::vector<uint8_t>& bottomUp = m_readScratch;
  GlFunctions& gl = Gl();
  gl.BindFramebuffer(GL_READ_FRAMEBUFFER, m_framebuffer);
  if (DrawsIntoWindow()) {
    // A double-buffered window shows its front buffer once swapped; a canvas
    // has only its GL_BACK, which keeps the shown frame until the next draw.
    const bool front = shownBuffer || m_windowColor == GL_FRONT_LEFT;
    gl.ReadBuffer(m_windowColor == GL_BACK ? GL_BACK : front ? GL_FRONT_LEFT : GL_BACK_LEFT);
  }
  gl.ReadPixels(0, 0, static_cast<GLsizei>(m_width), static_cast<GLsizei>(m_height), GL_RGBA,
                GL_UNSIGNED_BYTE, bottomUp.data());
  for (UINT y = 0; y < m_height; ++y) {
    uint8_t* dst = rgba->data() + rowBytes * y;
    std::memcpy(dst, bottomUp.data() + rowBytes * (m_height - 1 - y), rowBytes);
    // The back buffer is X8R8G8B8: the unused byte reads as opaque.
    for (size_t x = 3; x < rowBytes; x += 4) dst[x] = 0xff;
  }
  D3D9_GL_CHECK();
}

GLuint GlRenderer::CreateBuffer(UINT size, const void* data, bool dynamic) {
  GlFunctions& gl = Gl();
  GLuint buffer = 0;
  gl.GenBuffers(1, &buffer);
  gl.BindBuffer(GL_ARRAY_BUFFER, buffer);
  gl.BufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(size), data,
                dynamic ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW);
  D3D9_GL_CHECK();
  return buffer;
}

void GlRenderer::UploadBuffer(GLuint buffer, UINT offset, UINT size, const void* data) {
  GlFunctions& gl = Gl();
  gl.BindBuffer(GL_ARRAY_BUFFER, buffer);
  gl.BufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(offset), static_cast<GLsizeiptr>(size),
                   data);
  D3D9_GL_CHECK();
}

void GlRenderer::DeleteBuffer(GLuint buffer) { Gl().DeleteBuffers(1, &buffer); }

GLuint GlRenderer::CreateVertexArray(GLuint buffer, const FvfLayout& layout, UINT stride,
                                     UINT offset) {
  GlFunctions& gl = Gl();
  GLuint vao = 0;
  gl.GenVertexArrays(1, &vao);
  gl.BindVertexArray(vao);
  m_boundVao = vao;
  gl.BindBuffer(GL_ARRAY_BUFFER, buffer);
  const auto at = [offset](int byteOffset) {
    return reinterpret_cast<const void*>(static_cast<uintptr_t>(offset) +
                                         static_cast<uintptr_t>(byteOffset));
  };
  gl.EnableVertexAttribArray(kAttributePosition);
  gl.VertexAttribPointer(kAttributePosition, 3, GL_FLOAT, GL_FALSE, static_cast<GLsizei>(stride),
                         at(0));
  if (layout.diffuseOffset >= 0) {
    // D3DCOLOR is B, G, R, A in memory: GL_BGRA reads it in order where the
    // dialect has it; otherwise the shader swizzles.
    gl.EnableVertexAttribArray(kAttributeDiffuse);
    const GLint size = CurrentGlDialect().bgraVertexColours ? GL_BGRA : 4;
    gl.VertexAttribPointer(kAttributeDiffuse, size, GL_UNSIGNED_BYTE, GL_TRUE,
                           static_cast<GLsizei>(stride), at(layout.diffuseOffset));
  }
  if (layout.texCoordOffset >= 0) {
    gl.EnableVertexAttribArray(kAttributeTexCoord);
    const GLint components = layout.texCoordComponents < 2 ? layout.texCoordComponents : 2;
    gl.VertexAttribPointer(kAttributeTexCoord, components, GL_FLOAT, GL_FALSE,
                           static_cast<GLsizei>(stride), at(layout.texCoordOffset));
  }
  D3D9_GL_CHECK();
  return vao;
}

void GlRenderer::DeleteVertexArray(GLuint vao) {
  if (vao == m_boundVao) m_boundVao = 0;
  Gl().DeleteVertexArrays(1, &vao);
}

GLuint GlRenderer::CreateTexture(UINT width, UINT height, UINT levels, bool opaque) {
  GlFunctions& gl = Gl();
  GLuint texture = 0;
  gl.GenTextures(1, &texture);
  BindTexture(texture);
  gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
  gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levels) - 1);
  // Without swizzles (the ES dialect) the upload writes an X8R8G8B8
  // texture's alpha as 0xFF instead.
  const GlDialect& dialect = CurrentGlDialect();
  if (opaque && dialect.textureSwizzle)
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_A, GL_ONE);
  const GLenum format = dialect.bgraTextures ? GL_BGRA : GL_RGBA;
  const GLenum type = dialect.bgraTextures ? GL_UNSIGNED_INT_8_8_8_8_REV : GL_UNSIGNED_BYTE;
  for (UINT level = 0; level < levels; ++level) {
    const UINT w = width >> level ? width >> level : 1;
    const UINT h = height >> level ? height >> level : 1;
    gl.TexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), GL_RGBA8, static_cast<GLsizei>(w),
                  static_cast<GLsizei>(h), 0, format, type, nullptr);
  }
  D3D9_GL_CHECK();
  return texture;
}

void GlRenderer::UploadTextureLevel(GLuint texture, UINT level, UINT width, UINT height,
                                    const void* bgra, bool opaque) {
  BindTexture(texture);
  // The core dialect has BGRA uploads and swizzles, the ES one neither.
  if (CurrentGlDialect().bgraTextures) {
    Gl().TexSubImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), 0, 0, static_cast<GLsizei>(width),
                       static_cast<GLsizei>(height), GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, bgra);
  } else {
    // No BGRA uploads in this dialect: swap red and blue into a scratch copy.
    // Textures fill at load time, never per frame.
    const size_t bytes = static_cast<size_t>(width) * height * 4;
    m_uploadScratch.resize(bytes);
    const auto* source = static_cast<const uint8_t*>(bgra);
    for (size_t i = 0; i < bytes; i += 4) {
      m_uploadScratch[i] = source[i + 2];
      m_uploadScratch[i + 1] = source[i + 1];
      m_uploadScratch[i + 2] = source[i];
      m_uploadScratch[i + 3] = opaque ? 0xFF : source[i + 3];
    }
    Gl().TexSubImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), 0, 0, static_cast<GLsizei>(width),
                       static_cast<GLsizei>(height), GL_RGBA, GL_UNSIGNED_BYTE,
                       m_uploadScratch.data());
  }
  D3D9_GL_CHECK();
}

void GlRenderer::DeleteTexture(GLuint texture) {
  if (texture == m_boundTexture) m_boundTexture = 0;
  Gl().DeleteTextures(1, &texture);
}

}  // namespace platform
