// The OpenGL 3.3 core entry points the Direct3D 9 layer calls, loaded into one
// process-wide table by CreateGlContext (through SDL_GL_GetProcAddress on the
// desktop, so the layer never links libGL; from WebGL 2 in a page). On an
// OpenGL ES 3.0 context (WebGL 2, or the desktop's fallback) the few calls ES
// lacks or narrows get stand-ins. Every GL call in the layer goes through Gl().
//
// Limits: one table for the process. It is (re)loaded each time the layer makes
// a context current for the first time; Mesa and the desktop drivers hand out
// context-independent pointers, so devices on different windows share it.
// D3D9_GL_CHECK() reads glGetError only in debug builds.
#pragma once

#include <GL/glcorearb.h>

namespace platform {

// X(type, member, "glName")
#define PLATFORM_GL_FUNCTIONS(X)                                                            \
  X(PFNGLGETERRORPROC, GetError, "glGetError")                                              \
  X(PFNGLGETINTEGERVPROC, GetIntegerv, "glGetIntegerv")                                     \
  X(PFNGLGETSTRINGPROC, GetString, "glGetString")                                           \
  X(PFNGLGETSTRINGIPROC, GetStringi, "glGetStringi")                                        \
  X(PFNGLENABLEPROC, Enable, "glEnable")                                                    \
  X(PFNGLDISABLEPROC, Disable, "glDisable")                                                 \
  X(PFNGLVIEWPORTPROC, Viewport, "glViewport")                                              \
  X(PFNGLSCISSORPROC, Scissor, "glScissor")                                                 \
  X(PFNGLCLEARCOLORPROC, ClearColor, "glClearColor")                                        \
  X(PFNGLCLEARDEPTHPROC, ClearDepth, "glClearDepth")                                        \
  X(PFNGLCLEARPROC, Clear, "glClear")                                                       \
  X(PFNGLCOLORMASKPROC, ColorMask, "glColorMask")                                           \
  X(PFNGLDEPTHMASKPROC, DepthMask, "glDepthMask")                                           \
  X(PFNGLDEPTHFUNCPROC, DepthFunc, "glDepthFunc")                                           \
  X(PFNGLCULLFACEPROC, CullFace, "glCullFace")                                              \
  X(PFNGLFRONTFACEPROC, FrontFace, "glFrontFace")                                           \
  X(PFNGLPOLYGONMODEPROC, PolygonMode, "glPolygonMode")                                     \
  X(PFNGLBLENDFUNCPROC, BlendFunc, "glBlendFunc")                                           \
  X(PFNGLFINISHPROC, Finish, "glFinish")                                                    \
  X(PFNGLFLUSHPROC, Flush, "glFlush")                                                       \
  X(PFNGLPIXELSTOREIPROC, PixelStorei, "glPixelStorei")                                     \
  X(PFNGLREADPIXELSPROC, ReadPixels, "glReadPixels")                                        \
  X(PFNGLREADBUFFERPROC, ReadBuffer, "glReadBuffer")                                        \
  X(PFNGLDRAWARRAYSPROC, DrawArrays, "glDrawArrays")                                        \
  X(PFNGLGENTEXTURESPROC, GenTextures, "glGenTextures")                                     \
  X(PFNGLDELETETEXTURESPROC, DeleteTextures, "glDeleteTextures")                            \
  X(PFNGLBINDTEXTUREPROC, BindTexture, "glBindTexture")                                     \
  X(PFNGLACTIVETEXTUREPROC, ActiveTexture, "glActiveTexture")                               \
  X(PFNGLTEXIMAGE2DPROC, TexImage2D, "glTexImage2D")                                        \
  X(PFNGLTEXSUBIMAGE2DPROC, TexSubImage2D, "glTexSubImage2D")                               \
  X(PFNGLTEXPARAMETERIPROC, TexParameteri, "glTexParameteri")                               \
  X(PFNGLGENSAMPLERSPROC, GenSamplers, "glGenSamplers")                                     \
  X(PFNGLDELETESAMPLERSPROC, DeleteSamplers, "glDeleteSamplers")                            \
  X(PFNGLBINDSAMPLERPROC, BindSampler, "glBindSampler")                                     \
  X(PFNGLSAMPLERPARAMETERIPROC, SamplerParameteri, "glSamplerParameteri")                   \
  X(PFNGLSAMPLERPARAMETERFVPROC, SamplerParameterfv, "glSamplerParameterfv")                \
  X(PFNGLGENBUFFERSPROC, GenBuffers, "glGenBuffers")                                        \
  X(PFNGLDELETEBUFFERSPROC, DeleteBuffers, "glDeleteBuffers")                               \
  X(PFNGLBINDBUFFERPROC, BindBuffer, "glBindBuffer")                                        \
  X(PFNGLBUFFERDATAPROC, BufferData, "glBufferData")                                        \
  X(PFNGLBUFFERSUBDATAPROC, BufferSubData, "glBufferSubData")                               \
  X(PFNGLGENVERTEXARRAYSPROC, GenVertexArrays, "glGenVertexArrays")                         \
  X(PFNGLDELETEVERTEXARRAYSPROC, DeleteVertexArrays, "glDeleteVertexArrays")                \
  X(PFNGLBINDVERTEXARRAYPROC, BindVertexArray, "glBindVertexArray")                         \
  X(PFNGLENABLEVERTEXATTRIBARRAYPROC, EnableVertexAttribArray, "glEnableVertexAttribArray") \
  X(PFNGLVERTEXATTRIBPOINTERPROC, VertexAttribPointer, "glVertexAttribPointer")             \
  X(PFNGLVERTEXATTRIB4FPROC, VertexAttrib4f, "glVertexAttrib4f")                            \
  X(PFNGLCREATESHADERPROC, CreateShader, "glCreateShader")                                  \
  X(PFNGLDELETESHADERPROC, DeleteShader, "glDeleteShader")                                  \
  X(PFNGLSHADERSOURCEPROC, ShaderSource, "glShaderSource")                                  \
  X(PFNGLCOMPILESHADERPROC, CompileShader, "glCompileShader")                               \
  X(PFNGLGETSHADERIVPROC, GetShaderiv, "glGetShaderiv")                                     \
  X(PFNGLGETSHADERINFOLOGPROC, GetShaderInfoLog, "glGetShaderInfoLog")                      \
  X(PFNGLCREATEPROGRAMPROC, CreateProgram, "glCreateProgram")                               \
  X(PFNGLDELETEPROGRAMPROC, DeleteProgram, "glDeleteProgram")                               \
  X(PFNGLATTACHSHADERPROC, AttachShader, "glAttachShader")                                  \
  X(PFNGLBINDATTRIBLOCATIONPROC, BindAttribLocation, "glBindAttribLocation")                \
  X(PFNGLBINDFRAGDATALOCATIONPROC, BindFragDataLocation, "glBindFragDataLocation")          \
  X(PFNGLLINKPROGRAMPROC, LinkProgram, "glLinkProgram")                                     \
  X(PFNGLGETPROGRAMIVPROC, GetProgramiv, "glGetProgramiv")                                  \
  X(PFNGLGETPROGRAMINFOLOGPROC, GetProgramInfoLog, "glGetProgramInfoLog")                   \
  X(PFNGLUSEPROGRAMPROC, UseProgram, "glUseProgram")                                        \
  X(PFNGLGETUNIFORMLOCATIONPROC, GetUniformLocation, "glGetUniformLocation")                \
  X(PFNGLUNIFORM1IPROC, Uniform1i, "glUniform1i")                                           \
  X(PFNGLUNIFORM2FPROC, Uniform2f, "glUniform2f")                                           \
  X(PFNGLUNIFORM3FPROC, Uniform3f, "glUniform3f")                                           \
  X(PFNGLUNIFORM4FPROC, Uniform4f, "glUniform4f")                                           \
  X(PFNGLUNIFORMMATRIX4FVPROC, UniformMatrix4fv, "glUniformMatrix4fv")                      \
  X(PFNGLGENFRAMEBUFFERSPROC, GenFramebuffers, "glGenFramebuffers")                         \
  X(PFNGLDELETEFRAMEBUFFERSPROC, DeleteFramebuffers, "glDeleteFramebuffers")                \
  X(PFNGLBINDFRAMEBUFFERPROC, BindFramebuffer, "glBindFramebuffer")                         \
  X(PFNGLFRAMEBUFFERRENDERBUFFERPROC, FramebufferRenderbuffer, "glFramebufferRenderbuffer") \
  X(PFNGLCHECKFRAMEBUFFERSTATUSPROC, CheckFramebufferStatus, "glCheckFramebufferStatus")    \
  X(PFNGLGENRENDERBUFFERSPROC, GenRenderbuffers, "glGenRenderbuffers")                      \
  X(PFNGLDELETERENDERBUFFERSPROC, DeleteRenderbuffers, "glDeleteRenderbuffers")             \
  X(PFNGLBINDRENDERBUFFERPROC, BindRenderbuffer, "glBindRenderbuffer")                      \
  X(PFNGLRENDERBUFFERSTORAGEPROC, RenderbufferStorage, "glRenderbufferStorage")             \
  X(PFNGLBLITFRAMEBUFFERPROC, BlitFramebuffer, "glBlitFramebuffer")                         \
  X(PFNGLGETFRAMEBUFFERATTACHMENTPARAMETERIVPROC, GetFramebufferAttachmentParameteriv,      \
    "glGetFramebufferAttachmentParameteriv")

// Optional entry points: null when the driver lacks them.
#define PLATFORM_GL_OPTIONAL_FUNCTIONS(X) X(PFNGLCLIPCONTROLPROC, ClipControl, "glClipControl")

struct GlFunctions {
#define PLATFORM_GL_MEMBER(type, member, name) type member = nullptr;
  PLATFORM_GL_FUNCTIONS(PLATFORM_GL_MEMBER)
  PLATFORM_GL_OPTIONAL_FUNCTIONS(PLATFORM_GL_MEMBER)
#undef PLATFORM_GL_MEMBER
};

// Where entry points come from (SDL_GL_GetProcAddress, WebGL's lookup).
using GlAddressOf = void* (*)(const char* name);

// Fill Gl() for the current context; false with the first missing name in
// *missing. The ES table has no glClipControl (the shaders remap depth).
bool LoadCoreGlFunctions(GlAddressOf addressOf, const char** missing);
bool LoadEsGlFunctions(GlAddressOf addressOf, const char** missing);

// The table. Tools may replace entries after a device exists (the renderer
// benchmark wraps them in timing thunks).
GlFunctions& Gl();

// True when the current context has `extension` or is at least major.minor.
bool GlHasExtensionOrVersion(const char* extension, int major, int minor);

void ReportGlError(const char* file, int line);

}  // namespace platform

#ifdef NDEBUG
#define D3D9_GL_CHECK() ((void)0)
#else
#define D3D9_GL_CHECK() ::platform::ReportGlError(__FILE__, __LINE__)
#endif
