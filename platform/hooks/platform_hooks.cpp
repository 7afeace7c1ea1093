// ResetHooks: puts every component's test hooks back to the real behaviour.
#include "platform_hooks.h"

namespace platform {

void ResetWin32Hooks();
void ResetD3D9Hooks();
void ResetDInputHooks();

void ResetHooks() {
  ResetWin32Hooks();
  ResetD3D9Hooks();
  ResetDInputHooks();
}

}  // namespace platform
