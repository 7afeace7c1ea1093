// The layer's diagnostics: one line on stderr, "d3d9: ...". Unsupported but
// legal calls report once per call site (D3D9_LOG_ONCE) so a frame loop does
// not flood the terminal. What only tells how the layer set itself up
// (D3D9_VERBOSE_ONCE) is printed only with EF_VERBOSE=1 in the environment:
// a normal start prints nothing.
#pragma once

namespace platform {

void D3D9Log(const char* format, ...) __attribute__((format(printf, 1, 2)));

// True when the environment has EF_VERBOSE=1 (read once).
bool D3D9Verbose();

}  // namespace platform

#define D3D9_LOG_ONCE(...)              \
  do {                                  \
    static bool s_logged = false;       \
    if (!s_logged) {                    \
      s_logged = true;                  \
      ::platform::D3D9Log(__VA_ARGS__); \
    }                                   \
  } while (0)

#define D3D9_VERBOSE_ONCE(...)       \
  do {                               \
    if (::platform::D3D9Verbose()) { \
      D3D9_LOG_ONCE(__VA_ARGS__);    \
    }                                \
  } while (0)
