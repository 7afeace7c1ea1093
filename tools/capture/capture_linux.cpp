// The capture tool's frames on our layer: the headless start-up of
// tools/headless/ and the layer's back-buffer read-back.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "capture_backend.h"
#include "headless_run.h"

namespace capture {

bool StartProgram(int width, int height) {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  return headless::StartProgram(width, height);
}

bool RunFrame(int dik, DWORD msPerFrame, const std::vector<std::string>& pngPaths) {
  headless::RunFrame(dik, msPerFrame);
  if (pngPaths.empty()) return true;
  std::vector<uint8_t> rgba;
  int width = 0, height = 0;
  if (!headless::ReadFrame(&rgba, &width, &height)) {
    fprintf(stderr, "endless-field-capture: cannot read the frame back\n");
    return false;
  }
  bool ok = true;
  for (const std::string& path : pngPaths) {
    std::string error;
    if (!headless::WritePng(path, rgba, width, height, &error)) {
      fprintf(stderr, "endless-field-capture: cannot write %s: %s\n", path.c_str(), error.c_str());
      ok = false;
    }
  }
  return ok;
}

// The second field of /proc/self/statm, in pages; read into a buffer on the
// stack, so that a sample allocates nothing.
long ResidentMemoryKb() {
  const int fd = open("/proc/self/statm", O_RDONLY);
  if (fd < 0) return -1;
  char text[128];
  const ssize_t n = read(fd, text, sizeof(text) - 1);
  close(fd);
  if (n <= 0) return -1;
  text[n] = '\0';
  long size = 0, resident = 0;
  if (sscanf(text, "%ld %ld", &size, &resident) != 2) return -1;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void Exit(int code) { exit(code); }

}  // namespace capture
