// stderr logging for the Direct3D 9 layer.
#include "d3d9/log.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace platform {

void D3D9Log(const char* format, ...) {
  std::fputs("d3d9: ", stderr);
  va_list args;
  va_start(args, format);
  std::vfprintf(stderr, format, args);
  va_end(args);
  std::fputc('\n', stderr);
}

bool D3D9Verbose() {
  static const bool s_verbose = [] {
    const char* value = std::getenv("EF_VERBOSE");
    return value != nullptr && std::strcmp(value, "1") == 0;
  }();
  return s_verbose;
}

}  // namespace platform
