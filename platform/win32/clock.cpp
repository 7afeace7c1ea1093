// timeGetTime: milliseconds since the layer's first call, on the monotonic
// clock, as a 32-bit count that wraps like Windows' (about 49.7 days). Tests
// can swap in a manual clock that only moves when told.
#include <atomic>
#include <chrono>

#include "platform_hooks.h"
#include "win32/win32_internal.h"

#include <mmsystem.h>

namespace platform {
namespace {

std::atomic<bool> g_manual{false};
std::atomic<DWORD> g_manualMs{0};

std::chrono::steady_clock::time_point ClockStart() {
  static const std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
  return start;
}

}  // namespace

void UseManualClock(DWORD startMs) {
  g_manualMs = startMs;
  g_manual = true;
}

// DWORD arithmetic wraps modulo 2^32, as the real count does.
void AdvanceManualClock(DWORD ms) { g_manualMs += ms; }

void UseRealClock() { g_manual = false; }

void ResetClockHooks() { UseRealClock(); }

}  // namespace platform

using namespace platform;

DWORD WINAPI timeGetTime(void) {
  if (g_manual) return g_manualMs;
  const auto elapsed = std::chrono::steady_clock::now() - ClockStart();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
  return static_cast<DWORD>(static_cast<uint64_t>(ms));  // keeps the low 32 bits
}
