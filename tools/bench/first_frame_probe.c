/* Preloaded into a process by `endless-field-bench startup` and `rate`:
 * notes the CLOCK_MONOTONIC time at the end of the first SDL_GL_SwapWindow
 * (the first presented frame), the CPU time the process has used by then
 * (all its threads), and the times at the end of swap $EF_PROBE_SKIP and of
 * the last swap; after $EF_PROBE_FRAMES swaps it writes the four in
 * $EF_PROBE_OUT and ends the process, so that its parent can read the peak
 * memory and the frame rate between the two marks. Counting swaps instead of
 * seconds, a run covers the same frames on any machine. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

typedef void (*SwapFn)(void* window);

static long long Nanoseconds(clockid_t clock) {
  struct timespec t;
  clock_gettime(clock, &t);
  return (long long)t.tv_sec * 1000000000LL + t.tv_nsec;
}

void SDL_GL_SwapWindow(void* window) {
  static SwapFn real;
  static long frames, skip = -1, limit = -1;
  static long long firstNs, firstCpuNs, skipNs;
  if (!real) {
    real = (SwapFn)dlsym(RTLD_NEXT, "SDL_GL_SwapWindow");
    const char* text = getenv("EF_PROBE_FRAMES");
    limit = text ? atol(text) : -1;
    text = getenv("EF_PROBE_SKIP");
    skip = text ? atol(text) : 1;
  }
  real(window);
  ++frames;
  if (frames == 1) {
    firstNs = Nanoseconds(CLOCK_MONOTONIC);
    firstCpuNs = Nanoseconds(CLOCK_PROCESS_CPUTIME_ID);
  }
  if (frames == skip) skipNs = Nanoseconds(CLOCK_MONOTONIC);
  if (limit > 0 && frames >= limit) {
    const char* out = getenv("EF_PROBE_OUT");
    FILE* f = out ? fopen(out, "w") : NULL;
    if (f) {
      fprintf(f, "%lld %lld %lld %lld\n", firstNs, firstCpuNs, skipNs,
              Nanoseconds(CLOCK_MONOTONIC));
      fclose(f);
    }
    _exit(0);
  }
}
