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

bool GlRenderer::WindowFramebufferMatches(GLenum depthFormat, bool needsAlpha) {
  GlFunctions& gl = Gl();
  gl.BindFramebuffer(GL_FRAMEBUFFER, 0);
  const auto bits = [&gl](GLenum attachment, GLenum what) {
    GLint value = -1;
    gl.GetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, attachment, what, &value);
    return value;
  };
  const GLint depth = depthFormat ? bits(GL_DEPTH, GL_FRAMEBUFFER_ATTACHMENT_DEPTH_SIZE) : 0;
  // The colour of a double-buffered window is its back buffer, of a
  // single-buffered one (an offscreen pbuffer) its front buffer.
  for (GLenum color : {GL_BACK_LEFT, GL_FRONT_LEFT}) {
    if (bits(color, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE) == GL_NONE) continue;
    const GLint alpha = bits(color, GL_FRAMEBUFFER_ATTACHMENT_ALPHA_SIZE);
    const bool matches = bits(color, GL_FRAMEBUFFER_ATTACHMENT_RED_SIZE) == 8 &&
                         bits(color, GL_FRAMEBUFFER_ATTACHMENT_GREEN_SIZE) == 8 &&
                         bits(color, GL_FRAMEBUFFER_ATTACHMENT_BLUE_SIZE) == 8 &&
                         (alpha == 8 || (alpha == 0 && !needsAlpha)) &&
                         depth == DepthBitsOf(depthFormat);
    gl.GetError();  // a query the driver refused leaves an error behind
    return matches;
  }
  gl.GetError();
  return false;
}

bool GlRenderer::Init(UINT width, UINT height, GLenum depthFormat, bool windowMatches,
                      bool needsAlpha, std::string* error) {
  GlFunctions& gl = Gl();
  m_width = width;
  m_height = height;
  m_hasDepth = depthFormat != 0;

  const bool clipControl = gl.ClipControl && GlHasExtensionOrVersion("GL_ARB_clip_control", 4, 5);
  if (clipControl) gl.ClipControl(GL_LOWER_LEFT, GL_ZERO_TO_ONE);
  if (!m_shader.Init(clipControl, error)) return false;

  if (windowMatches && WindowFramebufferMatches(depthFormat, needsAlpha)) return FinishInit();
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

void GlRenderer::SetDepthMask(bool write) {
  if (write == m_depthWrite) return;
  Gl().DepthMask(write ? GL_TRUE : GL_FALSE);
  m_depthWrite = write;
}

void GlRenderer::BindTexture(GLuint texture) {
  if (texture == m_boundTexture) return;
  Gl().BindTexture(GL_TEXTURE_2D, texture);
  m_boundTexture = texture;
}

void GlRenderer::ApplyFog(const DeviceState& state) {
  GLint mode = kShaderFogNone;
  if (state.RenderState(D3DRS_FOGENABLE)) {
    mode = static_cast<GLint>(state.RenderState(D3DRS_FOGTABLEMODE));
    if (mode == kShaderFogNone && state.RenderState(D3DRS_FOGVERTEXMODE) != D3DFOG_NONE) {
      // Vertex fog is evaluated per pixel with the same formulas.
      D3D9_LOG_ONCE("vertex fog is drawn as table fog");
      mode = static_cast<GLint>(state.RenderState(D3DRS_FOGVERTEXMODE));
    }
    if (mode < kShaderFogNone || mode > kShaderFogLinear) mode = kShaderFogNone;
  }
  m_fogMode = mode;
  if (mode == kShaderFogNone) return;
  const float start = state.RenderStateFloat(D3DRS_FOGSTART);
  const float end = state.RenderStateFloat(D3DRS_FOGEND);
  // start == end: everything nearer than end is clear, the rest fogged.
  const float scale = end != start ? 1.0f / (end - start) : 1.0e30f;
  m_fogParams[0] = end;
  m_fogParams[1] = scale;
  m_fogParams[2] = state.RenderStateFloat(D3DRS_FOGDENSITY);
  float rgba[4];
  RgbaFromD3DColor(state.RenderState(D3DRS_FOGCOLOR), rgba);
  m_fogColor[0] = rgba[0];
  m_fogColor[1] = rgba[1];
  m_fogColor[2] = rgba[2];
  m_fogStale = kAllVariants;
}

void GlRenderer::UseVariant(bool textured) {
  GlFunctions& gl = Gl();
  const int index = FixedFunctionShader::VariantIndex(textured, m_fogMode);
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
    gl.UniformMatrix4fv(m_variant->worldViewProj, 1, GL_FALSE, &m_worldViewProj.m[0][0]);
    m_transformStale &= ~bit;
  }
  if ((m_fogStale & bit) && m_fogMode != kShaderFogNone) {
    gl.Uniform3f(m_variant->fogParams, m_fogParams[0], m_fogParams[1], m_fogParams[2]);
    gl.Uniform3f(m_variant->fogColor, m_fogColor[0], m_fogColor[1], m_fogColor[2]);
    m_fogStale &= ~bit;
  }
}

void GlRenderer::ApplySampler(const DeviceState& state) {
  GlFunctions& gl = Gl();
  const GLenum minFilter = GlMinFilterFromD3D(state.SamplerState(D3DSAMP_MINFILTER),
                                              state.SamplerState(D3DSAMP_MIPFILTER));
  const GLenum magFilter = GlMagFilterFromD3D(state.SamplerState(D3DSAMP_MAGFILTER));
  const GLenum wrapS = GlAddressFromD3D(state.SamplerState(D3DSAMP_ADDRESSU));
  const GLenum wrapT = GlAddressFromD3D(state.SamplerState(D3DSAMP_ADDRESSV));
  const DWORD border = state.SamplerState(D3DSAMP_BORDERCOLOR);
  if (minFilter != m_minFilter)
    gl.SamplerParameteri(m_sampler, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(minFilter));
  if (magFilter != m_magFilter)
    gl.SamplerParameteri(m_sampler, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(magFilter));
  if (wrapS != m_wrapS)
    gl.SamplerParameteri(m_sampler, GL_TEXTURE_WRAP_S, static_cast<GLint>(wrapS));
  if (wrapT != m_wrapT)
    gl.SamplerParameteri(m_sampler, GL_TEXTURE_WRAP_T, static_cast<GLint>(wrapT));
  if (border != m_borderColor) {
    float rgba[4];
    RgbaFromD3DColor(border, rgba);
    gl.SamplerParameterfv(m_sampler, GL_TEXTURE_BORDER_COLOR, rgba);
  }
  m_minFilter = minFilter;
  m_magFilter = magFilter;
  m_wrapS = wrapS;
  m_wrapT = wrapT;
  m_borderColor = border;
}

void GlRenderer::ApplyState(DeviceState& state) {
  const uint32_t dirty = state.Dirty();
  if (!dirty) return;
  GlFunctions& gl = Gl();
  if (dirty & kDirtyTransform) {
    m_worldViewProj =
        MultiplyMatrices(MultiplyMatrices(state.World(), state.View()), state.Projection());
    m_transformStale = kAllVariants;
  }
  if (dirty & kDirtyFog) ApplyFog(state);
  if (dirty & kDirtyDepth) {
    const bool test = state.RenderState(D3DRS_ZENABLE) != D3DZB_FALSE && m_hasDepth;
    if (test != m_depthTest) {
      if (test)
        gl.Enable(GL_DEPTH_TEST);
      else
        gl.Disable(GL_DEPTH_TEST);
      m_depthTest = test;
    }
    SetDepthMask(state.RenderState(D3DRS_ZWRITEENABLE) != FALSE);
    const GLenum func = GlCompareFromD3D(state.RenderState(D3DRS_ZFUNC));
    if (func != m_depthFunc) {
      gl.DepthFunc(func);
      m_depthFunc = func;
    }
  }
  if (dirty & kDirtyCull) {
    const DWORD mode = state.RenderState(D3DRS_CULLMODE);
    const bool enabled = mode == D3DCULL_CW || mode == D3DCULL_CCW;
    if (enabled != m_cullEnabled) {
      if (enabled)
        gl.Enable(GL_CULL_FACE);
      else
        gl.Disable(GL_CULL_FACE);
      m_cullEnabled = enabled;
    }
    // The front face is clockwise: D3DCULL_CCW culls back faces, D3DCULL_CW front ones.
    const GLenum face = mode == D3DCULL_CW ? GL_FRONT : GL_BACK;
    if (enabled && face != m_cullFace) {
      gl.CullFace(face);
      m_cullFace = face;
    }
  }
  if (dirty & kDirtyFill) {
    const GLenum mode = GlPolygonModeFromD3D(state.RenderState(D3DRS_FILLMODE));
    if (mode != m_polygonMode) {
      gl.PolygonMode(GL_FRONT_AND_BACK, mode);
      m_polygonMode = mode;
    }
  }
  if (dirty & kDirtyBlend) {
    const bool enabled = state.RenderState(D3DRS_ALPHABLENDENABLE) != FALSE;
    if (enabled != m_blendEnabled) {
      if (enabled)
        gl.Enable(GL_BLEND);
      else
        gl.Disable(GL_BLEND);
      m_blendEnabled = enabled;
    }
    const GLenum src = GlBlendFromD3D(state.RenderState(D3DRS_SRCBLEND));
    const GLenum dst = GlBlendFromD3D(state.RenderState(D3DRS_DESTBLEND));
    if (src != m_blendSrc || dst != m_blendDst) {
      gl.BlendFunc(src, dst);
      m_blendSrc = src;
      m_blendDst = dst;
    }
  }
  if (dirty & kDirtySampler) ApplySampler(state);
  if (dirty & (kDirtyTransform | kDirtyFog | kDirtyTexture))
    UseVariant(state.BoundTexture() != nullptr);
  state.ClearDirty(dirty & ~kDirtyStream);
}

void GlRenderer::Draw(DeviceState& state, GLuint vao, GLenum mode, GLint first, GLsizei count) {
  ApplyState(state);
  state.ClearDirty(kDirtyStream);
  // Uploads bind textures too, so the binding is checked on every draw (a
  // comparison when nothing changed).
  if (const Texture* texture = state.BoundTexture()) BindTexture(texture->GlName());
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
  const bool restoreDepthMask = !m_depthWrite;
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

void GlRenderer::ReadBackBuffer(std::vector<uint8_t>* rgba) {
  const size_t rowBytes = static_cast<size_t>(m_width) * 4;
  rgba->resize(rowBytes * m_height);
  std::vector<uint8_t> bottomUp(rgba->size());
  GlFunctions& gl = Gl();
  gl.BindFramebuffer(GL_READ_FRAMEBUFFER, m_framebuffer);
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
  // Without swizzles (WebGL 2) an X8R8G8B8 texture samples its stored alpha,
  // which the D3DX loaders write as 0xFF.
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
                                    const void* bgra) {
  BindTexture(texture);
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
      m_uploadScratch[i + 3] = source[i + 3];
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
