// The OpenGL context behind a device, and the GL dialect it speaks: what the
// device needs from the windowing system, so that the rest of the Direct3D
// part knows no SDL or browser. Two builds of it: sdl_gl_context.cpp (OpenGL
// 3.3 core, or OpenGL ES 3.0 where that is all there is, through SDL2 on the
// desktop) and web_gl_context.cpp (WebGL 2 on the page's canvas).
#pragma once

#include <windows.h>

#include <string>

namespace platform {

struct GlContext;

// What differs between the GL dialects for the renderer and its shaders.
struct GlDialect {
  const char* shaderVersion;  // the #version line (and precisions) that opens every shader
  bool bgraVertexColours;     // GL_BGRA as a vertex attribute's size (D3DCOLOR's byte order)
  bool bgraTextures;          // GL_BGRA texture uploads; otherwise RGBA, converted at upload
  bool textureSwizzle;        // GL_TEXTURE_SWIZZLE_A and friends
};
const GlDialect& CurrentGlDialect();
// The two dialects: OpenGL 3.3 core, and OpenGL ES 3.0 (WebGL 2's too).
const GlDialect& CoreGlDialect();
const GlDialect& EsGlDialect();

// Starts the windowing system and learns that a context can be had, with its
// largest texture. Remembered once it succeeds. False (with the reason in
// *error) without a display or a capable GL.
bool ProbeGl(UINT* maxTextureSize, std::string* error);

// The display's refresh rate in Hz, or 0 when unknown.
UINT DisplayRefreshRate();

// True for a window CreateWindowExA made that can carry a context; its size
// in pixels (either pointer may be null).
bool GlWindowSize(HWND hwnd, int* width, int* height);

// Makes a context with `depthBits` (at least) on the window, current, with the
// GL functions loaded (Gl()); vsync asks presentation to wait for the display.
// Null with the reason in *error.
GlContext* CreateGlContext(HWND hwnd, int depthBits, bool vsync, std::string* error);
void DestroyGlContext(GlContext* context);

// What making a context current found. Only a page's context is ever lost:
// the browser takes it away (a tab in the background, a GPU reset) and may
// give it back later with none of the GL objects made on it before.
enum class GlContextStatus {
  kCurrent,   // current, with every GL object made on it
  kRestored,  // current again after a loss: the caller makes its GL objects anew
  kLost,      // taken away by the browser: no GL call does anything until it comes back
  kGone,      // the context or the windowing system is gone (at process exit)
};
// kRestored is reported once per context and loss.
GlContextStatus MakeGlContextCurrent(GlContext* context);

// The window's drawable in pixels, and whether it keeps that size.
void GlDrawableSize(GlContext* context, int* width, int* height, bool* fixedSize);

// Shows what was drawn into the window's framebuffer: swaps (and, on drivers
// that queue frames, waits for this one), or in a page yields to the browser.
void PresentGlContext(GlContext* context);

}  // namespace platform
