/* Preloaded into a process by `endless-field-bench startup`: notes the
 * CLOCK_MONOTONIC time at the end of the first SDL_GL_SwapWindow (the first
 * presented frame) and the CPU time the process has used by then (all its
 * threads) in $EF_PROBE_OUT, and ends the process after
 * $EF_PROBE_FRAMES swaps so that its parent can read the peak memory. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

typedef void (*SwapFn)(void* window);

void SDL_GL_SwapWindow(void* window) {
  static SwapFn real;
  static long frames;
  if (!real) real = (SwapFn)dlsym(RTLD_NEXT, "SDL_GL_SwapWindow");
  real(window);
  ++frames;
  if (frames == 1) {
    struct timespec now, cpu;
    clock_gettime(CLOCK_MONOTONIC, &now);
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
    const char* out = getenv("EF_PROBE_OUT");
    FILE* f = out ? fopen(out, "w") : NULL;
    if (f) {
      fprintf(f, "%lld %lld\n", (long long)now.tv_sec * 1000000000LL + now.tv_nsec,
              (long long)cpu.tv_sec * 1000000000LL + cpu.tv_nsec);
      fclose(f);
    }
  }
  const char* limit = getenv("EF_PROBE_FRAMES");
  if (limit && frames >= atol(limit)) _exit(0);
}
