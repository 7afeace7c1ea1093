// Test doubles of EGL drivers' documented quirks: a libEGL that SDL loads in
// place of the system's (SDL_VIDEO_EGL_DRIVER=<this library>), forwarding
// every call to libEGL.so.1 but for one behaviour, chosen when it is built
// (EF_EGL_QUIRK):
//  - EF_EGL_QUIRK_PRESENT_OPAQUE, NVIDIA's proprietary driver under X11: the
//    display lists EGL_EXT_present_opaque, but eglCreateWindowSurface with
//    EGL_PRESENT_OPAQUE_EXT in its attributes fails with EGL_BAD_ATTRIBUTE
//    (SDL 2.26 always passes it when it is listed);
//  - EF_EGL_QUIRK_NO_WINDOW_SURFACE, a driver that cannot present to the
//    window system: every window surface fails with EGL_BAD_NATIVE_WINDOW.
// Pbuffers, contexts and everything else behave as the system's EGL does.
#define _GNU_SOURCE
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define EF_EGL_QUIRK_PRESENT_OPAQUE 1
#define EF_EGL_QUIRK_NO_WINDOW_SURFACE 2

#ifndef EGL_PRESENT_OPAQUE_EXT
#define EGL_PRESENT_OPAQUE_EXT 0x31DF
#endif

static void* Real(const char* name) {
  static void* library;
  if (library == NULL) library = dlopen("libEGL.so.1", RTLD_NOW | RTLD_LOCAL);
  void* function = library != NULL ? dlsym(library, name) : NULL;
  if (function == NULL) {
    fprintf(stderr, "EGL double: libEGL.so.1 has no %s\n", name);
    abort();
  }
  return function;
}

// The error our own failures leave for the next eglGetError.
static __thread EGLint g_error = EGL_SUCCESS;

#define FORWARD(type, name, params, args)                            \
  EGLAPI type EGLAPIENTRY name params {                              \
    static type(EGLAPIENTRY* real) params;                           \
    if (real == NULL) real = (type(EGLAPIENTRY*) params)Real(#name); \
    return real args;                                                \
  }

FORWARD(EGLDisplay, eglGetDisplay, (EGLNativeDisplayType d), (d))
FORWARD(EGLDisplay, eglGetPlatformDisplay, (EGLenum p, void* d, const EGLAttrib* a), (p, d, a))
FORWARD(EGLBoolean, eglInitialize, (EGLDisplay d, EGLint* major, EGLint* minor), (d, major, minor))
FORWARD(EGLBoolean, eglTerminate, (EGLDisplay d), (d))
FORWARD(EGLBoolean, eglGetConfigs, (EGLDisplay d, EGLConfig* c, EGLint n, EGLint* got),
        (d, c, n, got))
FORWARD(EGLBoolean, eglChooseConfig,
        (EGLDisplay d, const EGLint* a, EGLConfig* c, EGLint n, EGLint* got), (d, a, c, n, got))
FORWARD(EGLBoolean, eglGetConfigAttrib, (EGLDisplay d, EGLConfig c, EGLint a, EGLint* v),
        (d, c, a, v))
FORWARD(EGLContext, eglCreateContext, (EGLDisplay d, EGLConfig c, EGLContext s, const EGLint* a),
        (d, c, s, a))
FORWARD(EGLBoolean, eglDestroyContext, (EGLDisplay d, EGLContext c), (d, c))
FORWARD(EGLSurface, eglCreatePbufferSurface, (EGLDisplay d, EGLConfig c, const EGLint* a),
        (d, c, a))
FORWARD(EGLBoolean, eglDestroySurface, (EGLDisplay d, EGLSurface s), (d, s))
FORWARD(EGLBoolean, eglQuerySurface, (EGLDisplay d, EGLSurface s, EGLint a, EGLint* v),
        (d, s, a, v))
FORWARD(EGLBoolean, eglQueryContext, (EGLDisplay d, EGLContext c, EGLint a, EGLint* v),
        (d, c, a, v))
FORWARD(EGLBoolean, eglMakeCurrent, (EGLDisplay d, EGLSurface w, EGLSurface r, EGLContext c),
        (d, w, r, c))
FORWARD(EGLContext, eglGetCurrentContext, (void), ())
FORWARD(EGLSurface, eglGetCurrentSurface, (EGLint which), (which))
FORWARD(EGLDisplay, eglGetCurrentDisplay, (void), ())
FORWARD(EGLBoolean, eglSwapBuffers, (EGLDisplay d, EGLSurface s), (d, s))
FORWARD(EGLBoolean, eglSwapInterval, (EGLDisplay d, EGLint i), (d, i))
FORWARD(EGLBoolean, eglSurfaceAttrib, (EGLDisplay d, EGLSurface s, EGLint a, EGLint v),
        (d, s, a, v))
FORWARD(EGLBoolean, eglWaitNative, (EGLint engine), (engine))
FORWARD(EGLBoolean, eglWaitGL, (void), ())
FORWARD(EGLBoolean, eglWaitClient, (void), ())
FORWARD(EGLBoolean, eglBindAPI, (EGLenum api), (api))
FORWARD(EGLenum, eglQueryAPI, (void), ())
FORWARD(EGLBoolean, eglReleaseThread, (void), ())

EGLAPI EGLint EGLAPIENTRY eglGetError(void) {
  static EGLint(EGLAPIENTRY * real)(void);
  if (real == NULL) real = (EGLint(EGLAPIENTRY*)(void))Real("eglGetError");
  const EGLint ours = g_error;
  g_error = EGL_SUCCESS;
  return ours != EGL_SUCCESS ? ours : real();
}

// A display's extensions with EGL_EXT_present_opaque added (one display at
// a time, as SDL opens it).
EGLAPI const char* EGLAPIENTRY eglQueryString(EGLDisplay display, EGLint name) {
  static const char*(EGLAPIENTRY * real)(EGLDisplay, EGLint);
  if (real == NULL) real = (const char*(EGLAPIENTRY*)(EGLDisplay, EGLint))Real("eglQueryString");
  const char* text = real(display, name);
#if EF_EGL_QUIRK == EF_EGL_QUIRK_PRESENT_OPAQUE
  static char* listed;
  if (text != NULL && name == EGL_EXTENSIONS && display != EGL_NO_DISPLAY &&
      strstr(text, "EGL_EXT_present_opaque") == NULL) {
    free(listed);
    listed = malloc(strlen(text) + sizeof(" EGL_EXT_present_opaque"));
    if (listed == NULL) return text;
    strcpy(listed, text);
    strcat(listed, " EGL_EXT_present_opaque");
    return listed;
  }
#endif
  return text;
}

// Whether a window surface with these attributes fails, and with which error.
static EGLint WindowSurfaceError(const EGLint* intAttributes, const EGLAttrib* attributes) {
#if EF_EGL_QUIRK == EF_EGL_QUIRK_PRESENT_OPAQUE
  for (; intAttributes != NULL && intAttributes[0] != EGL_NONE; intAttributes += 2)
    if (intAttributes[0] == EGL_PRESENT_OPAQUE_EXT) return EGL_BAD_ATTRIBUTE;
  for (; attributes != NULL && attributes[0] != EGL_NONE; attributes += 2)
    if (attributes[0] == EGL_PRESENT_OPAQUE_EXT) return EGL_BAD_ATTRIBUTE;
  return EGL_SUCCESS;
#elif EF_EGL_QUIRK == EF_EGL_QUIRK_NO_WINDOW_SURFACE
  (void)intAttributes;
  (void)attributes;
  return EGL_BAD_NATIVE_WINDOW;
#else
#error "EF_EGL_QUIRK names no quirk"
#endif
}

EGLAPI EGLSurface EGLAPIENTRY eglCreateWindowSurface(EGLDisplay d, EGLConfig c,
                                                     EGLNativeWindowType w, const EGLint* a) {
  static EGLSurface(EGLAPIENTRY * real)(EGLDisplay, EGLConfig, EGLNativeWindowType, const EGLint*);
  if ((g_error = WindowSurfaceError(a, NULL)) != EGL_SUCCESS) return EGL_NO_SURFACE;
  if (real == NULL)
    real = (EGLSurface(EGLAPIENTRY*)(EGLDisplay, EGLConfig, EGLNativeWindowType,
                                     const EGLint*))Real("eglCreateWindowSurface");
  return real(d, c, w, a);
}

EGLAPI EGLSurface EGLAPIENTRY eglCreatePlatformWindowSurface(EGLDisplay d, EGLConfig c, void* w,
                                                             const EGLAttrib* a) {
  static EGLSurface(EGLAPIENTRY * real)(EGLDisplay, EGLConfig, void*, const EGLAttrib*);
  if ((g_error = WindowSurfaceError(NULL, a)) != EGL_SUCCESS) return EGL_NO_SURFACE;
  if (real == NULL)
    real = (EGLSurface(EGLAPIENTRY*)(EGLDisplay, EGLConfig, void*, const EGLAttrib*))Real(
        "eglCreatePlatformWindowSurface");
  return real(d, c, w, a);
}

static EGLSurface EGLAPIENTRY CreatePlatformWindowSurfaceExt(EGLDisplay d, EGLConfig c, void* w,
                                                             const EGLint* a) {
  static EGLSurface(EGLAPIENTRY * real)(EGLDisplay, EGLConfig, void*, const EGLint*);
  if ((g_error = WindowSurfaceError(a, NULL)) != EGL_SUCCESS) return EGL_NO_SURFACE;
  if (real == NULL) {
    __eglMustCastToProperFunctionPointerType (*lookup)(const char*) =
        (__eglMustCastToProperFunctionPointerType(*)(const char*))Real("eglGetProcAddress");
    real = (EGLSurface(EGLAPIENTRY*)(EGLDisplay, EGLConfig, void*, const EGLint*))lookup(
        "eglCreatePlatformWindowSurfaceEXT");
  }
  return real != NULL ? real(d, c, w, a) : EGL_NO_SURFACE;
}

// Extension and core entry points looked up by name reach the same doubles.
EGLAPI __eglMustCastToProperFunctionPointerType EGLAPIENTRY eglGetProcAddress(const char* name) {
  static __eglMustCastToProperFunctionPointerType(EGLAPIENTRY * real)(const char*);
  if (real == NULL)
    real = (__eglMustCastToProperFunctionPointerType(EGLAPIENTRY*)(const char*))Real(
        "eglGetProcAddress");
  if (strcmp(name, "eglCreateWindowSurface") == 0)
    return (__eglMustCastToProperFunctionPointerType)eglCreateWindowSurface;
  if (strcmp(name, "eglCreatePlatformWindowSurface") == 0)
    return (__eglMustCastToProperFunctionPointerType)eglCreatePlatformWindowSurface;
  if (strcmp(name, "eglCreatePlatformWindowSurfaceEXT") == 0)
    return (__eglMustCastToProperFunctionPointerType)CreatePlatformWindowSurfaceExt;
  if (strcmp(name, "eglQueryString") == 0)
    return (__eglMustCastToProperFunctionPointerType)eglQueryString;
  if (strcmp(name, "eglGetError") == 0)
    return (__eglMustCastToProperFunctionPointerType)eglGetError;
  return real(name);
}
