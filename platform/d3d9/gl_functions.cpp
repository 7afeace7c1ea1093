// The layer's OpenGL table (filled by gl_context's CreateGlContext), the two
// GL dialects, and version/extension questions about the current context.
#include "d3d9/gl_functions.h"

#include <cstdio>
#include <cstring>

#include "d3d9/gl_context.h"

namespace platform {
namespace {

PFNGLCLEARDEPTHFPROC g_clearDepthf = nullptr;
PFNGLSAMPLERPARAMETERFVPROC g_samplerParameterfv = nullptr;
PFNGLGETFRAMEBUFFERATTACHMENTPARAMETERIVPROC g_getAttachmentParameteriv = nullptr;

// OpenGL ES fills polygons only; the device asks for anything else
// (wireframe) through this, and it stays solid.
void PolygonModeStandIn(GLenum, GLenum) {}

void ClearDepthStandIn(GLdouble depth) { g_clearDepthf(static_cast<GLfloat>(depth)); }

// OpenGL ES 3.0 has no border colour (nor D3DTADDRESS_BORDER's addressing,
// which the program never uses): the device's border colour is dropped, every
// other sampler value goes through.
void SamplerParameterfvStandIn(GLuint sampler, GLenum name, const GLfloat* values) {
  if (name != GL_TEXTURE_BORDER_COLOR) g_samplerParameterfv(sampler, name, values);
}

// A GLSL ES fragment shader with one output writes colour attachment 0.
void BindFragDataLocationStandIn(GLuint, GLuint, const GLchar*) {}

// OpenGL ES and WebGL 2 name the window's colour buffer GL_BACK only; the
// desktop's GL_BACK_LEFT and GL_FRONT_LEFT are refused here, as a desktop
// driver refuses a name it lacks (the value stays unset), without the
// driver's error (WebGL's console warning).
void GetFramebufferAttachmentParameterivStandIn(GLenum target, GLenum attachment, GLenum name,
                                                GLint* value) {
  if (attachment == GL_BACK_LEFT || attachment == GL_FRONT_LEFT) return;
  g_getAttachmentParameteriv(target, attachment, name, value);
}

// Loads every entry of `loaded` that is still null.
bool LoadMissing(GlAddressOf addressOf, GlFunctions* loaded, const char** missing) {
#define PLATFORM_GL_LOAD(type, member, name)                  \
  if (!loaded->member) {                                      \
    loaded->member = reinterpret_cast<type>(addressOf(name)); \
    if (!loaded->member) {                                    \
      if (missing) *missing = name;                           \
      return false;                                           \
    }                                                         \
  }
  PLATFORM_GL_FUNCTIONS(PLATFORM_GL_LOAD)
#undef PLATFORM_GL_LOAD
  return true;
}

}  // namespace

const GlDialect& CoreGlDialect() {
  static const GlDialect kCore = {"#version 330 core\n", true, true, true};
  return kCore;
}

// No BGRA vertex colours or uploads (the shader swizzles, uploads convert) and
// no texture swizzles: the dialect of WebGL 2, which desktop ES shares so
// that one path is tested on both.
const GlDialect& EsGlDialect() {
  static const GlDialect kEs = {"#version 300 es\nprecision highp float;\n", false, false, false};
  return kEs;
}

bool LoadCoreGlFunctions(GlAddressOf addressOf, const char** missing) {
  GlFunctions loaded;
  if (!LoadMissing(addressOf, &loaded, missing)) return false;
#define PLATFORM_GL_LOAD_OPTIONAL(type, member, name) \
  loaded.member = reinterpret_cast<type>(addressOf(name));
  PLATFORM_GL_OPTIONAL_FUNCTIONS(PLATFORM_GL_LOAD_OPTIONAL)
#undef PLATFORM_GL_LOAD_OPTIONAL
  Gl() = loaded;
  return true;
}

bool LoadEsGlFunctions(GlAddressOf addressOf, const char** missing) {
  GlFunctions loaded;
  loaded.PolygonMode = PolygonModeStandIn;
  loaded.BindFragDataLocation = BindFragDataLocationStandIn;
  g_clearDepthf = reinterpret_cast<PFNGLCLEARDEPTHFPROC>(addressOf("glClearDepthf"));
  if (g_clearDepthf) loaded.ClearDepth = ClearDepthStandIn;
  g_samplerParameterfv =
      reinterpret_cast<PFNGLSAMPLERPARAMETERFVPROC>(addressOf("glSamplerParameterfv"));
  if (g_samplerParameterfv) loaded.SamplerParameterfv = SamplerParameterfvStandIn;
  g_getAttachmentParameteriv = reinterpret_cast<PFNGLGETFRAMEBUFFERATTACHMENTPARAMETERIVPROC>(
      addressOf("glGetFramebufferAttachmentParameteriv"));
  if (g_getAttachmentParameteriv)
    loaded.GetFramebufferAttachmentParameteriv = GetFramebufferAttachmentParameterivStandIn;
  if (!LoadMissing(addressOf, &loaded, missing)) return false;
  loaded.ClipControl = nullptr;  // not in OpenGL ES 3.0
  Gl() = loaded;
  return true;
}

GlFunctions& Gl() {
  static GlFunctions s_functions;
  return s_functions;
}

bool GlHasExtensionOrVersion(const char* extension, int major, int minor) {
  GlFunctions& gl = Gl();
  GLint haveMajor = 0;
  GLint haveMinor = 0;
  gl.GetIntegerv(GL_MAJOR_VERSION, &haveMajor);
  gl.GetIntegerv(GL_MINOR_VERSION, &haveMinor);
  if (haveMajor > major || (haveMajor == major && haveMinor >= minor)) return true;
  GLint count = 0;
  gl.GetIntegerv(GL_NUM_EXTENSIONS, &count);
  for (GLint i = 0; i < count; ++i) {
    const GLubyte* name = gl.GetStringi(GL_EXTENSIONS, static_cast<GLuint>(i));
    if (name && std::strcmp(reinterpret_cast<const char*>(name), extension) == 0) return true;
  }
  return false;
}

void ReportGlError(const char* file, int line) {
  for (int i = 0; i < 8; ++i) {
    GLenum error = Gl().GetError();
    if (error == GL_NO_ERROR) return;
    std::fprintf(stderr, "d3d9: OpenGL error 0x%04x at %s:%d\n", error, file, line);
  }
}

}  // namespace platform
