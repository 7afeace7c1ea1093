// The Windows capture tool's hook on IDirect3DDevice9::Present. The program
// presents with D3DSWAPEFFECT_DISCARD, after which the back buffer's content
// is undefined, so a frame must be read between EndScene and Present, inside
// the program's own RenderFrame. The device's vtable is copied once with
// Present replaced, and the device object is pointed at the copy: every
// caller (the program, D3DX) keeps the same device pointer. Written in C for
// the SDK's named vtable fields (CINTERFACE) instead of slot numbers.
#define CINTERFACE
#include <d3d9.h>

#include "present_hook.h"

typedef HRESULT(STDMETHODCALLTYPE* PresentFunction)(IDirect3DDevice9* device, const RECT* source,
                                                    const RECT* dest, HWND window,
                                                    const RGNDATA* dirty);

static IDirect3DDevice9Vtbl g_hookedVtbl;
static PresentFunction g_realPresent;
static void (*g_beforePresent)(void* device);

static HRESULT STDMETHODCALLTYPE HookedPresent(IDirect3DDevice9* device, const RECT* source,
                                               const RECT* dest, HWND window,
                                               const RGNDATA* dirty) {
  g_beforePresent(device);
  return g_realPresent(device, source, dest, window, dirty);
}

void HookPresent(void* device, void (*beforePresent)(void* device)) {
  IDirect3DDevice9* d3dDevice = (IDirect3DDevice9*)device;
  g_hookedVtbl = *d3dDevice->lpVtbl;
  g_realPresent = g_hookedVtbl.Present;
  g_hookedVtbl.Present = HookedPresent;
  g_beforePresent = beforePresent;
  d3dDevice->lpVtbl = &g_hookedVtbl;
}
