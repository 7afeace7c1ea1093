// Replacements of the global operator new and delete that count while
// allocation_counter::Start is in effect (see allocation_counter.h).
#include "allocation_counter.h"

#include <stdlib.h>

#include <algorithm>
#include <atomic>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define EF_ALLOCATION_COUNTER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define EF_ALLOCATION_COUNTER_ASAN 1
#endif
#endif

#ifndef EF_ALLOCATION_COUNTER_ASAN
extern "C" void* __libc_malloc(size_t size);
#endif

namespace {

std::atomic<bool> g_counting{false};
std::atomic<long> g_count{0};
std::atomic<std::size_t> g_largest{0};

void Record(std::size_t size) {
  if (!g_counting.load(std::memory_order_relaxed)) return;
  g_count.fetch_add(1, std::memory_order_relaxed);
  std::size_t seen = g_largest.load(std::memory_order_relaxed);
  while (size > seen && !g_largest.compare_exchange_weak(seen, size, std::memory_order_relaxed)) {}
}

void* Allocate(std::size_t size) {
  Record(size);
  if (size == 0) size = 1;
#ifdef EF_ALLOCATION_COUNTER_ASAN
  return malloc(size);
#else
  return __libc_malloc(size);
#endif
}

void* AllocateAligned(std::size_t size, std::align_val_t alignment) {
  Record(size);
  void* p = nullptr;
  const std::size_t align = std::max(static_cast<std::size_t>(alignment), sizeof(void*));
  return posix_memalign(&p, align, size ? size : 1) == 0 ? p : nullptr;
}

void* OrThrow(void* p) {
  if (!p) throw std::bad_alloc();
  return p;
}

}  // namespace

namespace allocation_counter {

void Start() {
  g_count = 0;
  g_largest = 0;
  g_counting = true;
}
void Stop() { g_counting = false; }
long Count() { return g_count.load(); }
std::size_t Largest() { return g_largest.load(); }

}  // namespace allocation_counter

// Every form is replaced, so that no block from the runtime's own operator
// new reaches our operator delete (AddressSanitizer reports such a pair as
// mismatched). The replacements pair the C allocator with free; GCC cannot
// see that through the replaced operators once inlined.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) { return OrThrow(Allocate(size)); }
void* operator new[](std::size_t size) { return OrThrow(Allocate(size)); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new(std::size_t size, std::align_val_t alignment) {
  return OrThrow(AllocateAligned(size, alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
  return OrThrow(AllocateAligned(size, alignment));
}
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return AllocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return AllocateAligned(size, alignment);
}

void operator delete(void* p) noexcept { free(p); }
void operator delete[](void* p) noexcept { free(p); }
void operator delete(void* p, std::size_t) noexcept { free(p); }
void operator delete[](void* p, std::size_t) noexcept { free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { free(p); }
void operator delete(void* p, std::align_val_t) noexcept { free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { free(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { free(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { free(p); }
#pragma GCC diagnostic pop
