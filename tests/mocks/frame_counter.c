// Preloaded into the viewer by the end-to-end scripts (LD_PRELOAD, with
// EF_FRAME_COUNTER=FILE): counts the frames it presents (SDL_GL_SwapWindow)
// in the first 8 bytes of FILE, a shared mapping, so that a script can wait
// for frames instead of seconds and get the same answer on a fast or a slow
// machine. A frame costs one increment; no system call.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <unistd.h>

static volatile uint64_t* Counter(void) {
  static volatile uint64_t* counter;
  static int tried;
  if (!tried) {
    tried = 1;
    const char* path = getenv("EF_FRAME_COUNTER");
    const int fd = path ? open(path, O_RDWR | O_CREAT, 0644) : -1;
    if (fd >= 0 && ftruncate(fd, sizeof(uint64_t)) == 0) {
      void* mapped = mmap(NULL, sizeof(uint64_t), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
      if (mapped != MAP_FAILED) counter = mapped;
    }
    if (fd >= 0) close(fd);
  }
  return counter;
}

void SDL_GL_SwapWindow(void* window) {
  static void (*real)(void*);
  if (!real) real = (void (*)(void*))dlsym(RTLD_NEXT, "SDL_GL_SwapWindow");
  real(window);
  volatile uint64_t* counter = Counter();
  if (counter) __atomic_add_fetch(counter, 1, __ATOMIC_RELAXED);
}
