// ResetWin32Hooks: puts the Win32 part's test hooks back (ResetHooks() calls
// it too). Declared here so that the Win32 tests can use it without linking
// the other parts of the layer.
#pragma once

namespace platform {

void ResetWin32Hooks();

}  // namespace platform
