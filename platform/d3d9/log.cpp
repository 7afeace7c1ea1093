// stderr logging for the Direct3D 9 layer.
#include "d3d9/log.h"

#include <cstdarg>
#include <cstdio>

namespace platform {

void D3D9Log(const char* format, ...) {
  std::fputs("d3d9: ", stderr);
  va_list args;
  va_start(args, format);
  std::vfprintf(stderr, format, args);
  va_end(args);
  std::fputc('\n', stderr);
}

}  // namespace platform
