// GLSL sources and builds of the fixed-function stand-in programs.
#include "d3d9/fixed_function_shader.h"

#include <string>
#include <vector>

#include "d3d9/gl_context.h"
#include "d3d9/gl_functions.h"
#include "d3d9/log.h"

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
  vDiffuse = D3DCOLOR_RGBA(aDiffuse);
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

// USE_TEXTURE and FOG_MODE (one of FOG_NONE...FOG_LINEAR, the ShaderFogMode
// values) come from the header of each variant.
const char kFragmentSource[] = R"(
in vec4 vDiffuse;
in vec2 vTexCoord;
in float vEyeDepth;
uniform sampler2D uTexture;
uniform vec3 uFogParams;  // linear: end, 1 / (end - start); exp: density
uniform vec3 uFogColor;
out vec4 fragColor;
void main() {
  vec4 color = vDiffuse;
#if USE_TEXTURE
  vec4 texel = texture(uTexture, vTexCoord);
  color = vec4(texel.rgb * vDiffuse.rgb, texel.a);
#endif
#if FOG_MODE != FOG_NONE
  float d = vEyeDepth;
  float f;
#if FOG_MODE == FOG_LINEAR
  f = (uFogParams.x - d) * uFogParams.y;
#elif FOG_MODE == FOG_EXP
  f = exp(-uFogParams.z * d);
#else
  float t = uFogParams.z * d;
  f = exp(-t * t);
#endif
  color.rgb = mix(uFogColor, color.rgb, clamp(f, 0.0, 1.0));
#endif
  fragColor = color;
}
)";

GLuint CompileShader(GLenum type, const char* body, const std::string& header, std::string* error) {
  GlFunctions& gl = Gl();
  const char* sources[2] = {header.c_str(), body};
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

bool FixedFunctionShader::Init(bool zeroToOneDepth, std::string* error) {
  m_zeroToOneDepth = zeroToOneDepth;
  return Build(VariantIndex(false, kShaderFogNone), error);
}

const ShaderVariant* FixedFunctionShader::Variant(int index) {
  ShaderVariant& variant = m_variants[index];
  if (variant.program) return &variant;
  std::string error;
  if (!Build(index, &error)) {
    D3D9_LOG_ONCE("cannot build a fixed-function program: %s", error.c_str());
    return nullptr;
  }
  return &variant;
}

bool FixedFunctionShader::Build(int index, std::string* error) {
  GlFunctions& gl = Gl();
  const GlDialect& dialect = CurrentGlDialect();
  const std::string header =
      std::string(dialect.shaderVersion) + "#define D3DCOLOR_RGBA(c) " +
      (dialect.bgraVertexColours ? "(c)" : "(c).bgra") + "\n#define ZERO_TO_ONE_DEPTH " +
      (m_zeroToOneDepth ? "1" : "0") + "\n#define USE_TEXTURE " + (index >= 4 ? "1" : "0") +
      "\n#define FOG_MODE " + std::to_string(index % 4) + "\n#define FOG_NONE " +
      std::to_string(kShaderFogNone) + "\n#define FOG_EXP " + std::to_string(kShaderFogExp) +
      "\n#define FOG_LINEAR " + std::to_string(kShaderFogLinear) + "\n";
  GLuint vertex = CompileShader(GL_VERTEX_SHADER, kVertexSource, header, error);
  if (!vertex) return false;
  GLuint fragment = CompileShader(GL_FRAGMENT_SHADER, kFragmentSource, header, error);
  if (!fragment) {
    gl.DeleteShader(vertex);
    return false;
  }
  ShaderVariant& variant = m_variants[index];
  GLuint program = gl.CreateProgram();
  gl.AttachShader(program, vertex);
  gl.AttachShader(program, fragment);
  gl.BindFragDataLocation(program, 0, "fragColor");
  gl.LinkProgram(program);
  gl.DeleteShader(vertex);
  gl.DeleteShader(fragment);
  GLint ok = GL_FALSE;
  gl.GetProgramiv(program, GL_LINK_STATUS, &ok);
  if (!ok) {
    GLint length = 0;
    gl.GetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(static_cast<size_t>(length > 1 ? length : 1), '\0');
    gl.GetProgramInfoLog(program, static_cast<GLsizei>(log.size()), nullptr, log.data());
    if (error) *error = std::string("shader link failed: ") + log.data();
    gl.DeleteProgram(program);
    return false;
  }
  variant.program = program;
  variant.worldViewProj = gl.GetUniformLocation(program, "uWorldViewProj");
  variant.pixelOffset = gl.GetUniformLocation(program, "uPixelOffset");
  variant.fogParams = gl.GetUniformLocation(program, "uFogParams");
  variant.fogColor = gl.GetUniformLocation(program, "uFogColor");
  gl.UseProgram(program);
  gl.Uniform1i(gl.GetUniformLocation(program, "uTexture"), 0);
  return true;
}

void FixedFunctionShader::Destroy() {
  for (ShaderVariant& variant : m_variants) {
    if (variant.program) Gl().DeleteProgram(variant.program);
    variant = ShaderVariant();
  }
}

void FixedFunctionShader::Forget() {
  for (ShaderVariant& variant : m_variants) variant = ShaderVariant();
}

}  // namespace platform
