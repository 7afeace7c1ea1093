// The first-frame callback of first_frame.h.
#include "d3d9/first_frame.h"

namespace platform {
namespace {

FirstFrameCallback g_callback = nullptr;
bool g_presented = false;

}  // namespace

bool CallAtFirstPresent(FirstFrameCallback callback) {
  if (g_presented) return false;
  g_callback = callback;
  return true;
}

void NotePresented() {
  if (g_presented) return;
  g_presented = true;
  if (FirstFrameCallback callback = g_callback) {
    g_callback = nullptr;
    callback();
  }
}

}  // namespace platform
