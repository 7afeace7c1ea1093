// Minimal OpenGL replay of recorded frames; see minimal_gl.h.
#include "minimal_gl.h"

#include <GL/glcorearb.h>
#include <SDL.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "world/cube.h"
#include "world/floor_strip.h"
#include "world/pyramid.h"

namespace bench {
namespace {

#define MINIMAL_GL_FUNCTIONS(X)                                \
  X(PFNGLCLEARCOLORPROC, ClearColor)                           \
  X(PFNGLCLEARPROC, Clear)                                     \
  X(PFNGLENABLEPROC, Enable)                                   \
  X(PFNGLDEPTHFUNCPROC, DepthFunc)                             \
  X(PFNGLFRONTFACEPROC, FrontFace)                             \
  X(PFNGLCULLFACEPROC, CullFace)                               \
  X(PFNGLVIEWPORTPROC, Viewport)                               \
  X(PFNGLFINISHPROC, Finish)                                   \
  X(PFNGLREADPIXELSPROC, ReadPixels)                           \
  X(PFNGLDRAWARRAYSPROC, DrawArrays)                           \
  X(PFNGLGENTEXTURESPROC, GenTextures)                         \
  X(PFNGLBINDTEXTUREPROC, BindTexture)                         \
  X(PFNGLTEXIMAGE2DPROC, TexImage2D)                           \
  X(PFNGLTEXPARAMETERIPROC, TexParameteri)                     \
  X(PFNGLGENBUFFERSPROC, GenBuffers)                           \
  X(PFNGLBINDBUFFERPROC, BindBuffer)                           \
  X(PFNGLBUFFERDATAPROC, BufferData)                           \
  X(PFNGLGENVERTEXARRAYSPROC, GenVertexArrays)                 \
  X(PFNGLBINDVERTEXARRAYPROC, BindVertexArray)                 \
  X(PFNGLENABLEVERTEXATTRIBARRAYPROC, EnableVertexAttribArray) \
  X(PFNGLVERTEXATTRIBPOINTERPROC, VertexAttribPointer)         \
  X(PFNGLVERTEXATTRIB4FPROC, VertexAttrib4f)                   \
  X(PFNGLCREATESHADERPROC, CreateShader)                       \
  X(PFNGLSHADERSOURCEPROC, ShaderSource)                       \
  X(PFNGLCOMPILESHADERPROC, CompileShader)                     \
  X(PFNGLGETSHADERIVPROC, GetShaderiv)                         \
  X(PFNGLGETSHADERINFOLOGPROC, GetShaderInfoLog)               \
  X(PFNGLCREATEPROGRAMPROC, CreateProgram)                     \
  X(PFNGLATTACHSHADERPROC, AttachShader)                       \
  X(PFNGLLINKPROGRAMPROC, LinkProgram)                         \
  X(PFNGLGETPROGRAMIVPROC, GetProgramiv)                       \
  X(PFNGLUSEPROGRAMPROC, UseProgram)                           \
  X(PFNGLGETUNIFORMLOCATIONPROC, GetUniformLocation)           \
  X(PFNGLUNIFORM1IPROC, Uniform1i)                             \
  X(PFNGLUNIFORM3FPROC, Uniform3f)                             \
  X(PFNGLUNIFORM2FPROC, Uniform2f)                             \
  X(PFNGLUNIFORMMATRIX4FVPROC, UniformMatrix4fv)

struct Gl {
#define MINIMAL_GL_MEMBER(type, name) type name = nullptr;
  MINIMAL_GL_FUNCTIONS(MINIMAL_GL_MEMBER)
#undef MINIMAL_GL_MEMBER
};

bool LoadGl(Gl* gl, std::string* error) {
#define MINIMAL_GL_LOAD(type, name)                                     \
  gl->name = reinterpret_cast<type>(SDL_GL_GetProcAddress("gl" #name)); \
  if (!gl->name) {                                                      \
    *error = "no gl" #name;                                             \
    return false;                                                       \
  }
  MINIMAL_GL_FUNCTIONS(MINIMAL_GL_LOAD)
#undef MINIMAL_GL_LOAD
  return true;
}

// The shaders open with the context's #version line. OpenGL ES takes no
// GL_BGRA vertex colours: there the shader swizzles.
const char kCoreHeader[] = "#version 330 core\n#define D3DCOLOR_RGBA(c) (c)\n";
const char kEsHeader[] =
    "#version 300 es\nprecision highp float;\n#define D3DCOLOR_RGBA(c) (c).bgra\n";

const char kVertexSource[] = R"(
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec4 aColor;
layout(location = 2) in vec2 aTexCoord;
uniform mat4 uViewProj;
uniform mat4 uWorld;
out vec4 vColor;
out vec2 vTexCoord;
out float vDepth;
void main() {
  vec4 p = uViewProj * (uWorld * vec4(aPosition, 1.0));
  vColor = D3DCOLOR_RGBA(aColor);
  vTexCoord = aTexCoord;
  vDepth = p.w;
  gl_Position = p;
}
)";

const char kFragmentSource[] = R"(
in vec4 vColor;
in vec2 vTexCoord;
in float vDepth;
uniform sampler2D uTexture;
uniform vec2 uFog;  // end, 1 / (end - start)
uniform vec3 uFogColor;
out vec4 fragColor;
void main() {
  vec3 color = texture(uTexture, vTexCoord).rgb * vColor.rgb;
  float f = clamp((uFog.x - vDepth) * uFog.y, 0.0, 1.0);
  fragColor = vec4(mix(uFogColor, color, f), 1.0);
}
)";

GLuint Compile(const Gl& gl, GLenum type, const char* header, const char* body,
               std::string* error) {
  GLuint shader = gl.CreateShader(type);
  const char* sources[2] = {header, body};
  gl.ShaderSource(shader, 2, sources, nullptr);
  gl.CompileShader(shader);
  GLint ok = 0;
  gl.GetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (!ok) {
    char log[1024] = {};
    gl.GetShaderInfoLog(shader, sizeof log, nullptr, log);
    *error = std::string("shader: ") + log;
    return 0;
  }
  return shader;
}

// Row-vector product a × b of two row-major matrices, as Direct3D multiplies.
void Multiply(const float* a, const float* b, float* out) {
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c)
      out[r * 4 + c] = a[r * 4 + 0] * b[0 * 4 + c] + a[r * 4 + 1] * b[1 * 4 + c] +
                       a[r * 4 + 2] * b[2 * 4 + c] + a[r * 4 + 3] * b[3 * 4 + c];
}

GLuint MakeVao(const Gl& gl, const void* data, GLsizeiptr size, bool textured, bool es) {
  GLuint vao = 0, buffer = 0;
  gl.GenVertexArrays(1, &vao);
  gl.BindVertexArray(vao);
  gl.GenBuffers(1, &buffer);
  gl.BindBuffer(GL_ARRAY_BUFFER, buffer);
  gl.BufferData(GL_ARRAY_BUFFER, size, data, GL_STATIC_DRAW);
  const GLsizei stride = textured ? sizeof(TexturedVertex) : sizeof(ColoredVertex);
  gl.EnableVertexAttribArray(0);
  gl.VertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, nullptr);
  if (textured) {
    gl.EnableVertexAttribArray(2);
    gl.VertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(12));
  } else {
    gl.EnableVertexAttribArray(1);
    gl.VertexAttribPointer(1, es ? 4 : GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                           reinterpret_cast<void*>(12));
  }
  return vao;
}

}  // namespace

bool RunMinimalGl(const Recording& recording, int width, int height, bool visible,
                  std::vector<double>* frameSeconds, std::vector<uint8_t>* lastFrameRgba,
                  int* depthBits, std::string* error,
                  const std::function<void(size_t)>& beforeFrame) {
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    *error = SDL_GetError();
    return false;
  }
  // EF_GL=es: OpenGL ES 3.0 through EGL, as the layer asks for it.
  const char* asked = std::getenv("EF_GL");
  const bool es = asked && std::strcmp(asked, "es") == 0;
  if (es) SDL_SetHint(SDL_HINT_OPENGL_ES_DRIVER, "1");
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, es ? 0 : 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK,
                      es ? SDL_GL_CONTEXT_PROFILE_ES : SDL_GL_CONTEXT_PROFILE_CORE);
  // The window the layer makes for the program: the same attributes (16 depth
  // bits for its D3DFMT_D16, double-buffered) and the flags of its WS_POPUP
  // window, so the driver hands both the same kind of drawable.
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  const int at = visible ? 20 : 0;
  SDL_Window* window = SDL_CreateWindow(
      "minimal-gl", at, at, width, height,
      SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS | (visible ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN));
  if (!window) {
    *error = SDL_GetError();
    return false;
  }
  SDL_GLContext context = SDL_GL_CreateContext(window);
  if (!context) {
    *error = SDL_GetError();
    return false;
  }
  SDL_GL_MakeCurrent(window, context);
  SDL_GL_SetSwapInterval(0);
  SDL_GL_GetAttribute(SDL_GL_DEPTH_SIZE, depthBits);
  // As the layer: only the offscreen driver needs the wait (see device.h).
  const char* driver = SDL_GetCurrentVideoDriver();
  const bool finish = driver && std::strcmp(driver, "offscreen") == 0;
  Gl gl;
  if (!LoadGl(&gl, error)) return false;

  const char* header = es ? kEsHeader : kCoreHeader;
  GLuint vertex = Compile(gl, GL_VERTEX_SHADER, header, kVertexSource, error);
  GLuint fragment = Compile(gl, GL_FRAGMENT_SHADER, header, kFragmentSource, error);
  if (!vertex || !fragment) return false;
  GLuint program = gl.CreateProgram();
  gl.AttachShader(program, vertex);
  gl.AttachShader(program, fragment);
  gl.LinkProgram(program);
  GLint linked = 0;
  gl.GetProgramiv(program, GL_LINK_STATUS, &linked);
  if (!linked) {
    *error = "link failed";
    return false;
  }
  gl.UseProgram(program);
  const GLint viewProjLocation = gl.GetUniformLocation(program, "uViewProj");
  const GLint worldLocation = gl.GetUniformLocation(program, "uWorld");
  gl.Uniform1i(gl.GetUniformLocation(program, "uTexture"), 0);
  // The program's fog: linear from 25 to 70 in its clear colour 0xCCCCFF.
  gl.Uniform2f(gl.GetUniformLocation(program, "uFog"), 70.0f, 1.0f / 45.0f);
  gl.Uniform3f(gl.GetUniformLocation(program, "uFogColor"), 0.8f, 0.8f, 1.0f);

  GLuint vaos[3];
  vaos[static_cast<int>(MeshKind::kStrip)] =
      MakeVao(gl, g_floorVertices, sizeof g_floorVertices, true, es);
  vaos[static_cast<int>(MeshKind::kCube)] =
      MakeVao(gl, CubeVertices, sizeof CubeVertices, true, es);
  vaos[static_cast<int>(MeshKind::kPyramid)] =
      MakeVao(gl, g_triangleFan, sizeof g_triangleFan, false, es);
  const GLenum modes[3] = {GL_TRIANGLE_STRIP, GL_TRIANGLES, GL_TRIANGLE_FAN};
  const GLsizei counts[3] = {4, 36, 6};
  gl.VertexAttrib4f(1, 1.0f, 1.0f, 1.0f, 1.0f);
  gl.VertexAttrib4f(2, 0.0f, 0.0f, 0.0f, 1.0f);

  std::vector<GLuint> textures(recording.textures.size() + 1);
  gl.GenTextures(static_cast<GLsizei>(textures.size()), textures.data());
  const uint8_t white[4] = {0xff, 0xff, 0xff, 0xff};
  std::vector<uint8_t> rgba;  // OpenGL ES takes no GL_BGRA uploads
  for (size_t i = 0; i < textures.size(); ++i) {
    const bool blank = i == recording.textures.size();  // stands for "no texture"
    const TextureImage* image = blank ? nullptr : &recording.textures[i];
    gl.BindTexture(GL_TEXTURE_2D, textures[i]);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    const uint8_t* pixels = blank ? white : image->bgra.data();
    if (es && !blank) {
      rgba.assign(image->bgra.begin(), image->bgra.end());
      for (size_t b = 0; b + 3 < rgba.size(); b += 4) std::swap(rgba[b], rgba[b + 2]);
      pixels = rgba.data();
    }
    gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, blank ? 1 : image->width, blank ? 1 : image->height,
                  0, es ? GL_RGBA : GL_BGRA, GL_UNSIGNED_BYTE, pixels);
  }

  gl.Viewport(0, 0, width, height);
  gl.Enable(GL_DEPTH_TEST);
  gl.DepthFunc(GL_LEQUAL);
  gl.Enable(GL_CULL_FACE);
  gl.FrontFace(GL_CW);
  gl.CullFace(GL_BACK);
  gl.ClearColor(0.8f, 0.8f, 1.0f, 1.0f);

  using Clock = std::chrono::steady_clock;
  frameSeconds->clear();
  frameSeconds->reserve(recording.frames.size());
  for (const RecordedFrame& frame : recording.frames) {
    if (beforeFrame) beforeFrame(static_cast<size_t>(&frame - recording.frames.data()));
    const Clock::time_point start = Clock::now();
    gl.Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    float viewProj[16];
    Multiply(frame.view, frame.projection, viewProj);
    gl.UniformMatrix4fv(viewProjLocation, 1, GL_FALSE, viewProj);
    for (uint32_t i = frame.firstDraw; i < frame.firstDraw + frame.drawCount; ++i) {
      const RecordedDraw& draw = recording.draws[i];
      const int kind = static_cast<int>(draw.kind);
      gl.BindTexture(GL_TEXTURE_2D, textures[draw.texture < 0 ? recording.textures.size()
                                                              : static_cast<size_t>(draw.texture)]);
      gl.BindVertexArray(vaos[kind]);
      gl.UniformMatrix4fv(worldLocation, 1, GL_FALSE, draw.world);
      gl.DrawArrays(modes[kind], 0, counts[kind]);
    }
    if (!lastFrameRgba || &frame != &recording.frames.back()) {
      SDL_GL_SwapWindow(window);
    } else {
      lastFrameRgba->resize(size_t(width) * height * 4);
      gl.ReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, lastFrameRgba->data());
      SDL_GL_SwapWindow(window);
    }
    if (finish) gl.Finish();
    frameSeconds->push_back(std::chrono::duration<double>(Clock::now() - start).count());
  }
  SDL_GL_DeleteContext(context);
  SDL_DestroyWindow(window);
  return true;
}

}  // namespace bench
