// Counts the C++ allocations a test program makes: linking allocation_counter.cpp
// replaces every form of the global operator new and delete. While counting
// is on (Start to Stop), it counts the calls and remembers the largest
// request. Storage comes from the C allocator, so AddressSanitizer still
// checks every block; in other builds it comes from glibc's allocator
// directly, so that a malloc counter (tests/perf) does not see operator new
// as a malloc call from our own code.
#pragma once

#include <cstddef>

namespace allocation_counter {

// Resets the count and the largest request, and starts counting.
void Start();
void Stop();
// operator new calls (any form, from anyone) since Start.
long Count();
// The largest single request since Start.
std::size_t Largest();

}  // namespace allocation_counter
