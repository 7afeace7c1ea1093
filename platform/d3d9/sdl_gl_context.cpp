// The device's context through SDL2 on the desktop (see gl_context.h):
// OpenGL 3.3 core, or OpenGL ES 3.0 when no core context can be had or EF_GL=es
// asks for it. On X11 the core context is had through GLX first: every X11
// driver has it, Mesa presents through it faster, and NVIDIA's EGL cannot
// make the window surfaces SDL 2.26 asks for; then through EGL, where ES is
// had too. Elsewhere (Wayland, offscreen) SDL binds through EGL only. ProbeGl
// tries each way on a hidden 1 x 1 window and takes the first that gives a
// context; where that way needs other windows than the program's (another
// binding, or an EGL config of the other kind), the program's windows are
// made again behind their HWNDs. GL entry points come from
// SDL_GL_GetProcAddress.
#include <SDL.h>
#include <malloc.h>
#include <strings.h>

#include <cstdlib>
#include <cstring>

#include "d3d9/gl_context.h"
#include "d3d9/gl_functions.h"
#include "d3d9/log.h"
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

// The two kinds of context the device can draw through. OpenGL ES 3.0 serves
// where the driver offers no 3.3 core profile (the Raspberry Pi 4 and 5 offer
// OpenGL 3.1 and ES 3.1), with the page's dialect: GLSL ES 3.00 shaders, the
// depth remap in the vertex shader, RGBA uploads.
enum class GlKind { kCore, kEs };
// How SDL binds a context to a window: GLX exists only on X11.
enum class GlBinding { kGlx, kEgl };

struct GlWay {
  GlKind kind;
  GlBinding binding;
};

GlWay g_way = {GlKind::kCore, GlBinding::kGlx};  // the way ProbeGl took; every context is made so
GlWay g_windowsWay = g_way;                      // the way the program's windows were made for
bool g_windowsWayKnown = false;

bool OnX11() {
  const char* driver = SDL_GetCurrentVideoDriver();
  return driver != nullptr && std::strcmp(driver, "x11") == 0;
}

const char* KindName(GlWay way) {
  return way.kind == GlKind::kEs ? "OpenGL ES 3.0" : "OpenGL 3.3 core";
}
const char* BindingName(GlWay way) { return way.binding == GlBinding::kGlx ? "GLX" : "EGL"; }

// Windows are made for one binding; an EGL window carries either kind on
// the drivers here (Mesa's configs serve OpenGL and OpenGL ES alike), so only
// another binding needs other windows. Each switch makes SDL unload and load
// the GL libraries, which Mesa does not undo cleanly: switch no more than
// that.
bool NeedsOtherWindows(GlWay way, GlWay windows) { return way.binding != windows.binding; }

// SDL_VIDEO_X11_FORCE_EGL in the environment picks the binding on X11: then
// only that one is tried. Unset, both.
bool X11BindingAskedFor(GlBinding* binding) {
  const char* asked = std::getenv("SDL_VIDEO_X11_FORCE_EGL");
  if (asked == nullptr || asked[0] == '\0') return false;
  const bool no = std::strcmp(asked, "0") == 0 || strcasecmp(asked, "false") == 0;
  *binding = no ? GlBinding::kGlx : GlBinding::kEgl;
  return true;
}

// The way windows are made for before any probe: SDL's defaults.
GlWay DefaultWay() {
  GlBinding binding = GlBinding::kEgl;
  if (OnX11() && !X11BindingAskedFor(&binding)) binding = GlBinding::kGlx;
  return {GlKind::kCore, binding};
}

// Overrides, so that SDL's own reading of the environment cannot mix a way
// with another (X11BindingAskedFor has already narrowed the ways to try).
void AskFor(GlWay way) {
  if (OnX11()) {
    SDL_SetHintWithPriority(SDL_HINT_VIDEO_X11_FORCE_EGL,
                            way.binding == GlBinding::kEgl ? "1" : "0", SDL_HINT_OVERRIDE);
  }
  // On X11, SDL takes ES contexts from EGL when told to (GLX's ES profile
  // serves ES 2.0 only).
  SDL_SetHintWithPriority(SDL_HINT_OPENGL_ES_DRIVER, way.kind == GlKind::kEs ? "1" : "0",
                          SDL_HINT_OVERRIDE);
  if (way.kind == GlKind::kEs) {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
  } else {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  }
}

bool Verbose() {
  const char* verbose = std::getenv("EF_VERBOSE");
  return verbose && std::strcmp(verbose, "1") == 0;
}

// The ways to try, in order. EF_GL=core or EF_GL=es (the layer's own setting,
// for tests and for drivers that misreport) forces the kind; otherwise core
// first. On X11 core goes through GLX, then EGL; ES only through EGL (SDL
// 2.26 takes GLX's ES profile for ES 2.0 only). Sets *forced when EF_GL
// chose; returns 0 when the environment leaves no way.
int WaysToTry(GlWay ways[3], bool* forced) {
  const char* asked = std::getenv("EF_GL");
  GlKind kinds[2] = {GlKind::kCore, GlKind::kEs};
  int kindCount = 2;
  *forced = false;
  if (asked && (std::strcmp(asked, "es") == 0 || std::strcmp(asked, "core") == 0)) {
    kinds[0] = asked[0] == 'e' ? GlKind::kEs : GlKind::kCore;
    kindCount = 1;
    *forced = true;
  } else if (asked && asked[0] != '\0') {
    D3D9Log("EF_GL=%s is neither core nor es: trying OpenGL 3.3 core, then OpenGL ES 3.0", asked);
  }
  GlBinding only = GlBinding::kEgl;
  const bool x11 = OnX11();
  const bool narrowed = x11 && X11BindingAskedFor(&only);
  int count = 0;
  for (int k = 0; k < kindCount; ++k) {
    if (kinds[k] == GlKind::kEs) {
      if (only == GlBinding::kEgl) ways[count++] = {GlKind::kEs, GlBinding::kEgl};
    } else if (x11 && !narrowed) {
      ways[count++] = {GlKind::kCore, GlBinding::kGlx};
      ways[count++] = {GlKind::kCore, GlBinding::kEgl};
    } else {
      ways[count++] = {GlKind::kCore, only};
    }
  }
  return count;
}

void* SdlGlAddress(const char* name) { return SDL_GL_GetProcAddress(name); }

bool LoadGlFunctions(const char** missing) {
  return g_way.kind == GlKind::kEs ? LoadEsGlFunctions(SdlGlAddress, missing)
                                   : LoadCoreGlFunctions(SdlGlAddress, missing);
}

// Makes a hidden 1 x 1 window with a context of the way AskFor set, and
// reads its largest texture and version. False with SDL's reason. With
// `keep`, a window that worked stays (in *keep) to hold SDL's GL library
// loaded until the program's windows are made again.
bool ProbeWay(GLint* maxTextureSize, std::string* version, std::string* error, SDL_Window** keep) {
  SDL_Window* window = SDL_CreateWindow("", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 1, 1,
                                        SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (!window) {
    *error = SDL_GetError();
    return false;
  }
  SDL_GLContext context = SDL_GL_CreateContext(window);
  if (!context) {
    *error = SDL_GetError();
    SDL_DestroyWindow(window);
    return false;
  }
  auto getIntegerv = reinterpret_cast<PFNGLGETINTEGERVPROC>(SDL_GL_GetProcAddress("glGetIntegerv"));
  auto getString = reinterpret_cast<PFNGLGETSTRINGPROC>(SDL_GL_GetProcAddress("glGetString"));
  *maxTextureSize = 0;
  if (getIntegerv) getIntegerv(GL_MAX_TEXTURE_SIZE, maxTextureSize);
  const GLubyte* versionText = getString ? getString(GL_VERSION) : nullptr;
  *version = versionText ? reinterpret_cast<const char*>(versionText) : "version unknown";
  SDL_GL_DeleteContext(context);
  if (*maxTextureSize <= 0) {
    *error = "glGetIntegerv failed";
    SDL_DestroyWindow(window);
    return false;
  }
  if (keep)
    *keep = window;
  else
    SDL_DestroyWindow(window);
  return true;
}

}  // namespace

const GlDialect& CurrentGlDialect() {
  return g_way.kind == GlKind::kEs ? EsGlDialect() : CoreGlDialect();
}

// Learns which way a context can be had (and its largest texture) on hidden
// windows, trying each in turn, and leaves the program's windows made for
// that way. A normal start (core, nothing forced) says nothing; a fallback,
// a forced kind or EF_VERBOSE=1 logs the way taken and why, once; when no way
// works, *error lists every try.
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
  if (!g_windowsWayKnown) {
    g_windowsWay = DefaultWay();
    g_windowsWayKnown = true;
  }
  SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
  SDL_GLContext previousContext = SDL_GL_GetCurrentContext();
  GlWay ways[3];
  bool forced = false;
  const int count = WaysToTry(ways, &forced);
  std::string tried =
      count > 0
          ? ""
          : "SDL_VIDEO_X11_FORCE_EGL=0 asks for GLX, and SDL has OpenGL ES 3.0 only through EGL";
  GLint size = 0;
  std::string version;
  int taken = -1;
  // The program's windows go while another binding is tried (SDL switches
  // only without GL windows), never from under a live context.
  bool released = false;
  SDL_Window* probe = nullptr;
  for (int i = 0; i < count && taken < 0; ++i) {
    if (!released && !previousContext && NeedsOtherWindows(ways[i], g_windowsWay)) {
      ReleaseSdlWindows();
      released = true;
    }
    AskFor(ways[i]);
    std::string why;
    if (ProbeWay(&size, &version, &why, released ? &probe : nullptr)) {
      taken = i;
    } else {
      tried += std::string(tried.empty() ? "" : "; ") + "no " + KindName(ways[i]) +
               " context through " + BindingName(ways[i]) + ": " + why;
    }
  }
  const GlWay chosen = taken >= 0 ? ways[taken] : g_windowsWay;
  if (!released && !previousContext && NeedsOtherWindows(chosen, g_windowsWay)) {
    ReleaseSdlWindows();
    released = true;
  }
  AskFor(chosen);
  if (released) {
    std::string why;
    if (!RemakeSdlWindows(&why))
      D3D9Log("the program's window could not be made again for %s through %s: %s",
              KindName(chosen), BindingName(chosen), why.c_str());
    g_windowsWay = chosen;
  }
  if (probe) SDL_DestroyWindow(probe);
  if (previousContext) SDL_GL_MakeCurrent(previousWindow, previousContext);
  if (taken < 0) {
    *error = tried + (forced ? " (EF_GL asked for it)" : "");
    return false;
  }
  g_way = chosen;
  const char* kind = KindName(g_way);
  const char* binding = BindingName(g_way);
  if (forced) {
    D3D9Log("drawing through %s (%s, %s), as EF_GL asks", kind, binding, version.c_str());
  } else if (taken > 0) {
    D3D9Log("drawing through %s (%s, %s): %s", kind, binding, version.c_str(), tried.c_str());
  } else if (Verbose()) {
    D3D9Log("drawing through %s (%s, %s)", kind, binding, version.c_str());
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

// In pixels, as Windows measures a window's client area for a program aware
// of DPI: on a scaled Wayland output, the window's size in window units times
// the scale.
bool GlWindowSize(HWND hwnd, int* width, int* height) {
  SDL_Window* window = SdlWindowFromHwnd(hwnd);
  if (!window) return false;
  SDL_GetWindowSizeInPixels(window, width, height);
  return true;
}

GlContext* CreateGlContext(HWND hwnd, int depthBits, bool vsync, std::string* error) {
  SDL_Window* window = SdlWindowFromHwnd(hwnd);
  if (!window) {
    *error = "not a window of this layer";
    return nullptr;
  }
  KeepFreedHeapForTheDriver();
  AskFor(g_way);
  // The window's own depth buffer serves as the automatic one when it has at
  // least these bits (drivers often give more).
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depthBits);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GLContext context = SDL_GL_CreateContext(window);
  if (!context) {
    *error = std::string("cannot create an ") + KindName(g_way) + " context through " +
             BindingName(g_way) + " on the device window: " + SDL_GetError();
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
  if (D3D9Verbose()) {
    int units[2] = {0, 0};
    int pixels[2] = {0, 0};
    SDL_GetWindowSize(window, &units[0], &units[1]);
    SDL_GL_GetDrawableSize(window, &pixels[0], &pixels[1]);
    D3D9_LOG_ONCE("the device window is %d x %d in window units, its drawable %d x %d pixels",
                  units[0], units[1], pixels[0], pixels[1]);
  }
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

// A desktop context is never reported lost: SDL's contexts are made without
// robustness, and a GPU reset there is the driver's to hide.
GlContextStatus MakeGlContextCurrent(GlContext* context) {
  if (!context || !context->m_context || !SDL_WasInit(SDL_INIT_VIDEO))
    return GlContextStatus::kGone;
  if (SDL_GL_GetCurrentContext() != context->m_context) {
    if (SDL_GL_MakeCurrent(context->m_window, context->m_context) != 0)
      return GlContextStatus::kGone;
  }
  return GlContextStatus::kCurrent;
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
