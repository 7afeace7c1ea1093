// Replacements of malloc, calloc, realloc and the file open calls that count
// while perf::StartCounting is in effect; C++ allocations are counted by the
// shared operator new replacement (mocks/allocation_counter). They forward
// to glibc (__libc_malloc and friends, dlsym(RTLD_NEXT) for the opens), so
// they work before main and inside the dynamic loader's own calls.
#undef _FORTIFY_SOURCE
#include "call_counters.h"

#include "mocks/allocation_counter.h"

#include <dlfcn.h>
#include <fcntl.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifndef __SANITIZE_ADDRESS__

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* p, size_t size);
// Bounds of this executable's code, from the linker.
extern char __executable_start[];
extern char etext[];
}

namespace {

std::atomic<bool> g_counting{false};
std::atomic<long> g_ownMallocs{0};
std::atomic<long> g_fileOpens{0};
std::atomic<long> g_ownFileOpens{0};
char g_lastPath[256];

bool FromOwnCode(const void* returnAddress) {
  const char* address = static_cast<const char*>(returnAddress);
  return address >= __executable_start && address < etext;
}

void CountOpen(const char* path, const void* returnAddress) {
  if (!g_counting.load(std::memory_order_relaxed)) return;
  g_fileOpens.fetch_add(1, std::memory_order_relaxed);
  if (FromOwnCode(returnAddress)) g_ownFileOpens.fetch_add(1, std::memory_order_relaxed);
  if (path) {
    std::strncpy(g_lastPath, path, sizeof g_lastPath - 1);
    g_lastPath[sizeof g_lastPath - 1] = '\0';
  }
}

void CountMalloc(const void* returnAddress) {
  if (g_counting.load(std::memory_order_relaxed) && FromOwnCode(returnAddress))
    g_ownMallocs.fetch_add(1, std::memory_order_relaxed);
}

template <typename Fn>
Fn Next(const char* name) {
  return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
}

mode_t ModeArgument(int flags, va_list args) {
  return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? va_arg(args, mode_t) : 0;
}

}  // namespace

// Declares `mode`, the open calls' optional argument after `flags`.
#define EF_READ_MODE(flags, mode)                      \
  va_list mode##Args;                                  \
  va_start(mode##Args, flags);                         \
  const mode_t mode = ModeArgument(flags, mode##Args); \
  va_end(mode##Args)

extern "C" {

void* malloc(size_t size) {
  CountMalloc(__builtin_return_address(0));
  return __libc_malloc(size);
}

void* calloc(size_t count, size_t size) {
  CountMalloc(__builtin_return_address(0));
  return __libc_calloc(count, size);
}

void* realloc(void* p, size_t size) {
  CountMalloc(__builtin_return_address(0));
  return __libc_realloc(p, size);
}

int open(const char* path, int flags, ...) {
  EF_READ_MODE(flags, mode);
  CountOpen(path, __builtin_return_address(0));
  static auto next = Next<int (*)(const char*, int, ...)>("open");
  return next(path, flags, mode);
}

int open64(const char* path, int flags, ...) {
  EF_READ_MODE(flags, mode);
  CountOpen(path, __builtin_return_address(0));
  static auto next = Next<int (*)(const char*, int, ...)>("open64");
  return next(path, flags, mode);
}

int openat(int dir, const char* path, int flags, ...) {
  EF_READ_MODE(flags, mode);
  CountOpen(path, __builtin_return_address(0));
  static auto next = Next<int (*)(int, const char*, int, ...)>("openat");
  return next(dir, path, flags, mode);
}

int openat64(int dir, const char* path, int flags, ...) {
  EF_READ_MODE(flags, mode);
  CountOpen(path, __builtin_return_address(0));
  static auto next = Next<int (*)(int, const char*, int, ...)>("openat64");
  return next(dir, path, flags, mode);
}

FILE* fopen(const char* path, const char* mode) {
  CountOpen(path, __builtin_return_address(0));
  static auto next = Next<FILE* (*)(const char*, const char*)>("fopen");
  return next(path, mode);
}

FILE* fopen64(const char* path, const char* mode) {
  CountOpen(path, __builtin_return_address(0));
  static auto next = Next<FILE* (*)(const char*, const char*)>("fopen64");
  return next(path, mode);
}

}  // extern "C"

namespace perf {

bool CountersAvailable() { return true; }

void StartCounting() {
  g_ownMallocs = 0;
  g_fileOpens = 0;
  g_ownFileOpens = 0;
  g_lastPath[0] = '\0';
  g_counting = true;
  allocation_counter::Start();
}

CallCounts StopCounting() {
  g_counting = false;
  allocation_counter::Stop();
  return CallCounts{allocation_counter::Count(), g_ownMallocs.load(), g_fileOpens.load(),
                    g_ownFileOpens.load(), g_lastPath};
}

}  // namespace perf

#else

namespace perf {
bool CountersAvailable() { return false; }
void StartCounting() {}
CallCounts StopCounting() { return CallCounts(); }
}  // namespace perf

#endif
