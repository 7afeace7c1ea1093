// The device's context in a web page: WebGL 2 (OpenGL ES 3.0) on the page's
// canvas (see gl_context.h). GL entry points come from Emscripten's WebGL
// bindings; the few that OpenGL ES lacks or narrows get stand-ins.
// Differences from the desktop's core path (the same as its ES path, whose
// dialect and stand-ins are shared in gl_functions.cpp): GLSL ES 3.00 shaders;
// no glClipControl, so the vertex shader remaps depth; no BGRA vertex colours
// or uploads (the shader swizzles, uploads convert) and no texture swizzles.
// Present yields to the browser (Asyncify): the page stays responsive, and the
// canvas shows the frame once the browser regains control.
// A lost context (webglcontextlost: a tab in the background, a GPU reset) is
// reported as lost until webglcontextrestored, and then once as restored to
// each device, which makes its GL objects again; Present yields meanwhile.
// Limits: a canvas has one WebGL context for its whole life, so every device
// shares it; DestroyGlContext keeps it for the next device. Emscripten's name
// tables keep the lost objects' wrappers (deleting those on the restored
// context only draws console warnings): a few dozen small objects a loss.
#include <emscripten.h>
#include <emscripten/html5.h>

#include "d3d9/gl_context.h"
#include "d3d9/gl_functions.h"
#include "win32/web_page.h"

namespace platform {

struct GlContext {
  EMSCRIPTEN_WEBGL_CONTEXT_HANDLE m_handle = 0;
  // The page context's restores that this context's device has heard of.
  unsigned m_restores = 0;
};

namespace {

EMSCRIPTEN_WEBGL_CONTEXT_HANDLE g_pageContext = 0;
unsigned g_presentCount = 0;
// Between webglcontextlost and webglcontextrestored; how often it came back.
bool g_contextLost = false;
unsigned g_contextRestores = 0;

void* WebGlAddress(const char* name) { return emscripten_webgl_get_proc_address(name); }

// Returning true prevents the default: without that the browser never gives
// the context back.
EM_BOOL OnContextLost(int, const void*, void*) {
  g_contextLost = true;
  return EM_TRUE;
}

EM_BOOL OnContextRestored(int, const void*, void*) {
  g_contextLost = false;
  ++g_contextRestores;
  return EM_TRUE;
}

// One context for the canvas, made on first need. No alpha: the page must
// not show through the back buffer's alpha, which Direct3D never composites.
// The drawing buffer is kept after it is shown, so that the canvas's pixels
// can be read between frames (the page's tests do), as a window's can.
bool EnsurePageContext(const char* canvas, std::string* error) {
  if (g_pageContext > 0) return true;
  EmscriptenWebGLContextAttributes attributes;
  emscripten_webgl_init_context_attributes(&attributes);
  attributes.alpha = EM_FALSE;
  attributes.depth = EM_TRUE;
  attributes.stencil = EM_FALSE;
  attributes.antialias = EM_FALSE;
  attributes.premultipliedAlpha = EM_FALSE;
  attributes.preserveDrawingBuffer = EM_TRUE;
  attributes.majorVersion = 2;
  attributes.minorVersion = 0;
  const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE handle =
      emscripten_webgl_create_context(canvas, &attributes);
  if (handle <= 0) {
    *error = "no WebGL 2 context on the page's canvas";
    return false;
  }
  g_pageContext = handle;
  emscripten_set_webglcontextlost_callback(canvas, nullptr, EM_FALSE, OnContextLost);
  emscripten_set_webglcontextrestored_callback(canvas, nullptr, EM_FALSE, OnContextRestored);
  return true;
}

}  // namespace

const GlDialect& CurrentGlDialect() { return EsGlDialect(); }

bool ProbeGl(UINT* maxTextureSize, std::string* error) {
  static UINT s_maxTextureSize = 0;
  if (s_maxTextureSize == 0) {
    if (!EnsurePageContext("#canvas", error)) return false;
    emscripten_webgl_make_context_current(g_pageContext);
    auto getIntegerv = reinterpret_cast<PFNGLGETINTEGERVPROC>(WebGlAddress("glGetIntegerv"));
    GLint size = 0;
    if (getIntegerv) getIntegerv(GL_MAX_TEXTURE_SIZE, &size);
    if (size <= 0) {
      *error = "no WebGL 2 context: glGetIntegerv failed";
      return false;
    }
    s_maxTextureSize = static_cast<UINT>(size);
  }
  *maxTextureSize = s_maxTextureSize;
  return true;
}

// Browsers do not tell; the program only reads it for information.
UINT DisplayRefreshRate() { return 0; }

bool GlWindowSize(HWND hwnd, int* width, int* height) {
  const char* canvas = CanvasFromHwnd(hwnd);
  if (!canvas) return false;
  int w = 0;
  int h = 0;
  emscripten_get_canvas_element_size(canvas, &w, &h);
  if (width) *width = w;
  if (height) *height = h;
  return true;
}

GlContext* CreateGlContext(HWND hwnd, int depthBits, bool vsync, std::string* error) {
  const char* canvas = CanvasFromHwnd(hwnd);
  if (!canvas) {
    *error = "not a window of this layer";
    return nullptr;
  }
  if (!EnsurePageContext(canvas, error)) return nullptr;
  emscripten_webgl_make_context_current(g_pageContext);
  const char* missing = "";
  if (!LoadEsGlFunctions(WebGlAddress, &missing)) {
    *error = std::string("WebGL 2 lacks ") + missing;
    return nullptr;
  }
  // vsync: a browser shows at most one frame per display refresh anyway;
  // Present yields the same way for both.
  GlContext* created = new GlContext;
  created->m_handle = g_pageContext;
  created->m_restores = g_contextRestores;
  return created;
}

void DestroyGlContext(GlContext* context) { delete context; }

GlContextStatus MakeGlContextCurrent(GlContext* context) {
  if (!context || context->m_handle <= 0) return GlContextStatus::kGone;
  if (g_contextLost) return GlContextStatus::kLost;
  if (emscripten_webgl_get_current_context() != context->m_handle &&
      emscripten_webgl_make_context_current(context->m_handle) != EMSCRIPTEN_RESULT_SUCCESS) {
    return GlContextStatus::kGone;
  }
  if (context->m_restores == g_contextRestores) return GlContextStatus::kCurrent;
  context->m_restores = g_contextRestores;
  return GlContextStatus::kRestored;
}

void GlDrawableSize(GlContext* context, int* width, int* height, bool* fixedSize) {
  emscripten_webgl_get_drawing_buffer_size(context->m_handle, width, height);
  if (fixedSize) *fixedSize = true;  // the canvas keeps the size CreateWindowExA gave it
}

// A zero-length sleep returns to the browser's event loop: the canvas is
// composited, key events run, and the program's loop resumes in the next
// task. Unlike waiting for an animation frame this keeps the loop's pace
// free (immediate presentation), as the desktop build's is. The browser
// fires webglcontextlost in a task of its own after the loss; asking here
// spares the frames in between their calls on a lost context.
void PresentGlContext(GlContext* context) {
  ++g_presentCount;
  emscripten_sleep(0);
  if (!g_contextLost && emscripten_is_webgl_context_lost(context->m_handle)) g_contextLost = true;
}

}  // namespace platform

// Frames presented so far, for the page and its tests to tell the frame rate
// (Module._platform_present_count()).
extern "C" EMSCRIPTEN_KEEPALIVE unsigned platform_present_count() {
  return platform::g_presentCount;
}
