// ResetWin32Hooks: every Win32 test hook back to the real behaviour, and an
// empty message queue.
#include "win32/win32_hooks.h"

#include "platform_hooks.h"
#include "win32/win32_internal.h"

namespace platform {

void ResetWin32Hooks() {
  ResetMessageBoxHook();
  ResetDefWindowProcHook();
  ResetWindowHooks();
  ResetSystemHooks();
  ResetClockHooks();
  ResetMessageQueue();
}

}  // namespace platform
