// Replacements of operator new/delete, malloc, calloc, realloc and the file
// open calls that count while perf::StartCounting is in effect. They forward
// to glibc (__libc_malloc and friends, dlsym(RTLD_NEXT) for the opens), so
// they work before main and inside the dynamic loader's own calls.
#undef _FORTIFY_SOURCE
#include "call_counters.h"

#include <dlfcn.h>
#include <fcntl.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

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
std::atomic<long> g_cppAllocations{0};
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

void* CountedNew(size_t size) {
  if (g_counting.load(std::memory_order_relaxed))
    g_cppAllocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = __libc_malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
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

// The replacements pair __libc_malloc with free; GCC cannot see that.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(size_t size) { return CountedNew(size); }
void* operator new[](size_t size) { return CountedNew(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  try {
    return CountedNew(size);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
  try {
    return CountedNew(size);
  } catch (...) {
    return nullptr;
  }
}
void operator delete(void* p) noexcept { free(p); }
void operator delete[](void* p) noexcept { free(p); }
void operator delete(void* p, size_t) noexcept { free(p); }
void operator delete[](void* p, size_t) noexcept { free(p); }
#pragma GCC diagnostic pop

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
  va_list args;
  va_start(args, flags);
  const mode_t mode = ModeArgument(flags, args);
  va_end(args);
  CountOpen(path, __builtin_return_address(0));
  static auto next = Next<int (*)(const char*, int, ...)>("open");
  return next(path, flags, mode);
}

int open64(const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const mode_t mode = ModeArgument(flags, args);
  va_end(args);
  CountOpen(path, __builtin_return_address(0));
  static auto next = Next<int (*)(const char*, int, ...)>("open64");
  return next(path, flags, mode);
}

int openat(int dir, const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const mode_t mode = ModeArgument(flags, args);
  va_end(args);
  CountOpen(path, __builtin_return_address(0));
  static auto next = Next<int (*)(int, const char*, int, ...)>("openat");
  return next(dir, path, flags, mode);
}

int openat64(int dir, const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const mode_t mode = ModeArgument(flags, args);
  va_end(args);
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
  g_cppAllocations = 0;
  g_ownMallocs = 0;
  g_fileOpens = 0;
  g_ownFileOpens = 0;
  g_lastPath[0] = '\0';
  g_counting = true;
}

CallCounts StopCounting() {
  g_counting = false;
  CallCounts counts;
  counts.cppAllocations = g_cppAllocations;
  counts.ownMallocs = g_ownMallocs;
  counts.fileOpens = g_fileOpens;
  counts.ownFileOpens = g_ownFileOpens;
  counts.lastOpenedPath = g_lastPath;
  return counts;
}

}  // namespace perf

#else

namespace perf {
bool CountersAvailable() { return false; }
void StartCounting() {}
CallCounts StopCounting() { return CallCounts(); }
}  // namespace perf

#endif
