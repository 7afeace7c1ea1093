// The device's OpenGL 3.3 core context through SDL2 on the desktop (see
// gl_context.h). GL entry points come from SDL_GL_GetProcAddress.
#include <SDL.h>
#include <malloc.h>

#include <cstring>

#include "d3d9/gl_context.h"
#include "d3d9/gl_functions.h"
#include "win32/sdl_window.h"

namespace platform {

struct GlContext {
  SDL_Window* m_window = nullptr;
  SDL_GLContext m_context = nullptr;
  // SDL's offscreen driver does not wait for a swapped frame: without a
  // glFinish, frames pile up inside the driver.
  bool m_finishOnPresent = false;
};

namespace {

// llvmpipe mallocs its scene bins for each frame (about a megabyte) and frees
// them at the end of it. Unless something else lives above them, they sit at
// the top of the heap, and glibc gives a free top over 128 KiB back to the
// kernel: every frame then refaulted that memory (about 170 page faults of
// zeroed pages), which cost the program 2.5 times the CPU of the same frames
// drawn by the minimal program. Keep up to 64 MiB of free heap instead; this
// also pins the mmap threshold at its 128 KiB default.
void KeepFreedHeapForTheDriver() {
  static const bool s_done = mallopt(M_TRIM_THRESHOLD, 64 << 20) != 0;
  (void)s_done;
}

void AskForCoreProfile() {
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
}

bool LoadGlFunctions(const char** missing) {
  GlFunctions loaded;
#define PLATFORM_GL_LOAD(type, member, name)                           \
  loaded.member = reinterpret_cast<type>(SDL_GL_GetProcAddress(name)); \
  if (!loaded.member) {                                                \
    if (missing) *missing = name;                                      \
    return false;                                                      \
  }
  PLATFORM_GL_FUNCTIONS(PLATFORM_GL_LOAD)
#undef PLATFORM_GL_LOAD
#define PLATFORM_GL_LOAD_OPTIONAL(type, member, name) \
  loaded.member = reinterpret_cast<type>(SDL_GL_GetProcAddress(name));
  PLATFORM_GL_OPTIONAL_FUNCTIONS(PLATFORM_GL_LOAD_OPTIONAL)
#undef PLATFORM_GL_LOAD_OPTIONAL
  Gl() = loaded;
  return true;
}

}  // namespace

const GlDialect& CurrentGlDialect() {
  static const GlDialect kDesktop = {"#version 330 core\n", true, true, true};
  return kDesktop;
}

// Makes a hidden 1 × 1 window with an OpenGL 3.3 core context to learn that
// one can be had, and its largest texture.
bool ProbeGl(UINT* maxTextureSize, std::string* error) {
  static UINT s_maxTextureSize = 0;
  if (s_maxTextureSize) {
    *maxTextureSize = s_maxTextureSize;
    return true;
  }
  if (!EnsureSdlVideo()) {
    *error = std::string("no display: ") + SdlVideoError();
    return false;
  }
  SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
  SDL_GLContext previousContext = SDL_GL_GetCurrentContext();
  AskForCoreProfile();
  SDL_Window* window = SDL_CreateWindow("", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 1, 1,
                                        SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (!window) {
    *error = std::string("no OpenGL 3.3 core context: ") + SDL_GetError();
    return false;
  }
  SDL_GLContext context = SDL_GL_CreateContext(window);
  if (!context) {
    *error = std::string("no OpenGL 3.3 core context: ") + SDL_GetError();
    SDL_DestroyWindow(window);
    return false;
  }
  GLint size = 0;
  auto getIntegerv = reinterpret_cast<PFNGLGETINTEGERVPROC>(SDL_GL_GetProcAddress("glGetIntegerv"));
  if (getIntegerv) getIntegerv(GL_MAX_TEXTURE_SIZE, &size);
  SDL_GL_DeleteContext(context);
  SDL_DestroyWindow(window);
  if (previousContext) SDL_GL_MakeCurrent(previousWindow, previousContext);
  if (size <= 0) {
    *error = "no OpenGL 3.3 core context: glGetIntegerv failed";
    return false;
  }
  s_maxTextureSize = static_cast<UINT>(size);
  *maxTextureSize = s_maxTextureSize;
  return true;
}

UINT DisplayRefreshRate() {
  SDL_DisplayMode desktop;
  const bool known = SDL_GetDesktopDisplayMode(0, &desktop) == 0 && desktop.refresh_rate > 0;
  return known ? static_cast<UINT>(desktop.refresh_rate) : 0;
}

bool GlWindowSize(HWND hwnd, int* width, int* height) {
  SDL_Window* window = SdlWindowFromHwnd(hwnd);
  if (!window) return false;
  SDL_GetWindowSize(window, width, height);
  return true;
}

GlContext* CreateGlContext(HWND hwnd, int depthBits, bool vsync, std::string* error) {
  SDL_Window* window = SdlWindowFromHwnd(hwnd);
  if (!window) {
    *error = "not a window of this layer";
    return nullptr;
  }
  KeepFreedHeapForTheDriver();
  AskForCoreProfile();
  // The window's own depth buffer serves as the automatic one when it has at
  // least these bits (drivers often give more).
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depthBits);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GLContext context = SDL_GL_CreateContext(window);
  if (!context) {
    *error = std::string("cannot create an OpenGL 3.3 core context on the device window: ") +
             SDL_GetError();
    return nullptr;
  }
  const char* missing = "";
  if (!LoadGlFunctions(&missing)) {
    *error = std::string("the OpenGL driver lacks ") + missing;
    SDL_GL_DeleteContext(context);
    return nullptr;
  }
  // Immediate presentation; "unsupported" (Xvfb) is harmless.
  SDL_GL_SetSwapInterval(vsync ? 1 : 0);
  GlContext* created = new GlContext;
  created->m_window = window;
  created->m_context = context;
  const char* driver = SDL_GetCurrentVideoDriver();
  created->m_finishOnPresent = driver && std::strcmp(driver, "offscreen") == 0;
  return created;
}

void DestroyGlContext(GlContext* context) {
  if (!context) return;
  if (context->m_context && SDL_WasInit(SDL_INIT_VIDEO)) {
    if (SDL_GL_GetCurrentContext() == context->m_context)
      SDL_GL_MakeCurrent(context->m_window, nullptr);
    SDL_GL_DeleteContext(context->m_context);
  }
  delete context;
}

bool MakeGlContextCurrent(GlContext* context) {
  if (!context || !context->m_context || !SDL_WasInit(SDL_INIT_VIDEO)) return false;
  if (SDL_GL_GetCurrentContext() != context->m_context) {
    if (SDL_GL_MakeCurrent(context->m_window, context->m_context) != 0) return false;
  }
  return true;
}

void GlDrawableSize(GlContext* context, int* width, int* height, bool* fixedSize) {
  SDL_GL_GetDrawableSize(context->m_window, width, height);
  if (fixedSize) *fixedSize = (SDL_GetWindowFlags(context->m_window) & SDL_WINDOW_RESIZABLE) == 0;
}

// A hidden window's frame waits up to 100 ms: the program runs on at about
// ten frames a second, on a few percent of a core.
void PresentGlContext(GlContext* context) {
  WaitWhileWindowHidden(context->m_window, 100);
  SDL_GL_SwapWindow(context->m_window);
  if (context->m_finishOnPresent) Gl().Finish();
}

}  // namespace platform
