// The Windows build's 1 ms clock. Since Windows 10 2004 a process that asks
// for no timer resolution gets the default one (15.625 ms), whatever other
// processes ask for, and timeGetTime moves in those steps; the program steps
// its camera when more than 2 ms have passed, so it would take about 64 steps
// a second instead of about 333. A static object asks for 1 ms before WinMain
// runs (the program first reads the clock in its scene set-up) and gives the
// request back at exit, after WinMain has returned, when the runtime runs the
// static destructors.
//
// Only the Windows build compiles this file, as an object library linked into
// endless-field.exe and the capture tool, so that the linker keeps the object
// although nothing refers to it (the capture tool's program reads the tool's
// own clock, which only its frames move, but runs as the viewer does). On
// Linux and in the page the layer's timeGetTime (clock.cpp) has 1 ms steps
// anyway.
#include <windows.h>
#include <mmsystem.h>

namespace platform {
namespace {

constexpr UINT kTimerPeriodMs = 1;

class TimerPeriod {
 public:
  TimerPeriod() : m_granted(timeBeginPeriod(kTimerPeriodMs) == TIMERR_NOERROR) {}
  ~TimerPeriod() {
    // Each granted timeBeginPeriod needs its timeEndPeriod with the same value.
    if (m_granted) timeEndPeriod(kTimerPeriodMs);
  }
  TimerPeriod(const TimerPeriod&) = delete;
  TimerPeriod& operator=(const TimerPeriod&) = delete;

 private:
  bool m_granted;
};

TimerPeriod g_timerPeriod;

}  // namespace
}  // namespace platform
