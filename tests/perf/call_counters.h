// Counts, while counting is on, the calls that a steady frame must not make:
// C++ allocations (operator new and new[], all of them, whoever calls),
// malloc/calloc/realloc called directly from this executable's own code (the
// program, the layer and the harness are linked in statically; the driver and
// SDL are shared libraries), and file opens (open, open64, openat, openat64,
// fopen, fopen64), both in total and from this executable's code.
// The C replacements live in call_counters.cpp, operator new's in
// mocks/allocation_counter.cpp; the C ones are not built under
// AddressSanitizer, which owns those entry points itself, so the counters
// are not available there.
#pragma once

namespace perf {

struct CallCounts {
  long cppAllocations = 0;
  long ownMallocs = 0;
  long fileOpens = 0;
  long ownFileOpens = 0;
  const char* lastOpenedPath = nullptr;  // a static copy, for messages
};

bool CountersAvailable();
void StartCounting();
CallCounts StopCounting();

}  // namespace perf
