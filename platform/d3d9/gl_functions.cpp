// The layer's OpenGL table (filled by gl_context's CreateGlContext) and
// version/extension questions about the current context.
#include "d3d9/gl_functions.h"

#include <cstdio>
#include <cstring>

namespace platform {

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
