// The layer's diagnostics: one line on stderr, "d3d9: ...". Unsupported but
// legal calls report once per call site (D3D9_LOG_ONCE) so a frame loop does
// not flood the terminal.
#pragma once

namespace platform {

void D3D9Log(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace platform

#define D3D9_LOG_ONCE(...)              \
  do {                                  \
    static bool s_logged = false;       \
    if (!s_logged) {                    \
      s_logged = true;                  \
      ::platform::D3D9Log(__VA_ARGS__); \
    }                                   \
  } while (0)
