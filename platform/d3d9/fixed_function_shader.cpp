// GLSL source and build of the fixed-function stand-in program.
#include "d3d9/fixed_function_shader.h"

#include <vector>

#include "d3d9/gl_functions.h"

namespace platform {
namespace {

// The matrix arrives as Direct3D stores it (row-major, row vectors); GLSL reads
// it column-major, so M * v here is Direct3D's v × M.
const char kVertexSource[] = R"(
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec4 aDiffuse;
layout(location = 2) in vec2 aTexCoord;
uniform mat4 uWorldViewProj;
uniform vec2 uPixelOffset;
out vec4 vDiffuse;
out vec2 vTexCoord;
out float vEyeDepth;
void main() {
  vec4 p = uWorldViewProj * vec4(aPosition, 1.0);
  vDiffuse = aDiffuse;
  vTexCoord = aTexCoord;
  // Table fog uses the eye depth, which is clip w for a perspective projection.
  vEyeDepth = p.w;
#if !ZERO_TO_ONE_DEPTH
  p.z = 2.0 * p.z - p.w;
#endif
  // Direct3D 9 pixel centres sit on integer coordinates: shift by just under
  // half a pixel so its top-left fill rule wins ties.
  p.xy += uPixelOffset * p.w;
  gl_Position = p;
}
)";

const char kFragmentSource[] = R"(
in vec4 vDiffuse;
in vec2 vTexCoord;
in float vEyeDepth;
uniform sampler2D uTexture;
uniform int uUseTexture;
uniform int uFogMode;
uniform vec3 uFogParams;  // linear: end, 1 / (end - start); exp: density
uniform vec3 uFogColor;
out vec4 fragColor;
void main() {
  vec4 color = vDiffuse;
  if (uUseTexture != 0) {
    vec4 texel = texture(uTexture, vTexCoord);
    color = vec4(texel.rgb * vDiffuse.rgb, texel.a);
  }
  if (uFogMode != 0) {
    float d = vEyeDepth;
    float f;
    if (uFogMode == 3) {
      f = (uFogParams.x - d) * uFogParams.y;
    } else if (uFogMode == 1) {
      f = exp(-uFogParams.z * d);
    } else {
      float t = uFogParams.z * d;
      f = exp(-t * t);
    }
    color.rgb = mix(uFogColor, color.rgb, clamp(f, 0.0, 1.0));
  }
  fragColor = color;
}
)";

GLuint CompileShader(GLenum type, const char* body, bool zeroToOneDepth, std::string* error) {
  GlFunctions& gl = Gl();
  const char* header = zeroToOneDepth ? "#version 330 core\n#define ZERO_TO_ONE_DEPTH 1\n"
                                      : "#version 330 core\n#define ZERO_TO_ONE_DEPTH 0\n";
  const char* sources[2] = {header, body};
  GLuint shader = gl.CreateShader(type);
  gl.ShaderSource(shader, 2, sources, nullptr);
  gl.CompileShader(shader);
  GLint ok = GL_FALSE;
  gl.GetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (ok) return shader;
  GLint length = 0;
  gl.GetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
  std::vector<char> log(static_cast<size_t>(length > 1 ? length : 1), '\0');
  gl.GetShaderInfoLog(shader, static_cast<GLsizei>(log.size()), nullptr, log.data());
  if (error) *error = std::string("shader compile failed: ") + log.data();
  gl.DeleteShader(shader);
  return 0;
}

}  // namespace

bool FixedFunctionShader::Build(bool zeroToOneDepth, std::string* error) {
  GlFunctions& gl = Gl();
  GLuint vertex = CompileShader(GL_VERTEX_SHADER, kVertexSource, zeroToOneDepth, error);
  if (!vertex) return false;
  GLuint fragment = CompileShader(GL_FRAGMENT_SHADER, kFragmentSource, zeroToOneDepth, error);
  if (!fragment) {
    gl.DeleteShader(vertex);
    return false;
  }
  m_program = gl.CreateProgram();
  gl.AttachShader(m_program, vertex);
  gl.AttachShader(m_program, fragment);
  gl.BindFragDataLocation(m_program, 0, "fragColor");
  gl.LinkProgram(m_program);
  gl.DeleteShader(vertex);
  gl.DeleteShader(fragment);
  GLint ok = GL_FALSE;
  gl.GetProgramiv(m_program, GL_LINK_STATUS, &ok);
  if (!ok) {
    GLint length = 0;
    gl.GetProgramiv(m_program, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(static_cast<size_t>(length > 1 ? length : 1), '\0');
    gl.GetProgramInfoLog(m_program, static_cast<GLsizei>(log.size()), nullptr, log.data());
    if (error) *error = std::string("shader link failed: ") + log.data();
    Destroy();
    return false;
  }
  m_worldViewProj = gl.GetUniformLocation(m_program, "uWorldViewProj");
  m_pixelOffset = gl.GetUniformLocation(m_program, "uPixelOffset");
  m_useTexture = gl.GetUniformLocation(m_program, "uUseTexture");
  m_fogMode = gl.GetUniformLocation(m_program, "uFogMode");
  m_fogParams = gl.GetUniformLocation(m_program, "uFogParams");
  m_fogColor = gl.GetUniformLocation(m_program, "uFogColor");
  gl.UseProgram(m_program);
  gl.Uniform1i(gl.GetUniformLocation(m_program, "uTexture"), 0);
  return true;
}

void FixedFunctionShader::Destroy() {
  if (m_program) Gl().DeleteProgram(m_program);
  m_program = 0;
}

}  // namespace platform
