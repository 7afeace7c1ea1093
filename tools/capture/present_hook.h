// Lets the Windows capture tool see each frame before the real device
// presents it; see present_hook.c.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

// From now on every Present of `device` (an IDirect3DDevice9*) first calls
// `beforePresent(device)`, then the real Present. One device per process.
void HookPresent(void* device, void (*beforePresent)(void* device));

#ifdef __cplusplus
}
#endif
