// Records the largest single operator new request made by this test program,
// so tests can check that hostile headers are rejected before a big allocation.
#pragma once

#include <cstddef>

namespace allocation_probe {

void Reset();
std::size_t LargestSinceReset();

}  // namespace allocation_probe
