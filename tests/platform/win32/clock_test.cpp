// timeGetTime: the real clock moves forward in milliseconds; the manual clock
// moves only when told and wraps at 2^32 like the real count.
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform_hooks.h"
#include "win32/win32_hooks.h"

namespace {

class Win32Clock : public ::testing::Test {
 protected:
  void TearDown() override { platform::ResetWin32Hooks(); }
};

TEST_F(Win32Clock, RealClockCountsMilliseconds) {
  const DWORD before = timeGetTime();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  const DWORD elapsed = timeGetTime() - before;
  EXPECT_GE(elapsed, 29u);
  EXPECT_LT(elapsed, 5000u) << "not milliseconds?";
}

TEST_F(Win32Clock, ManualClockMovesOnlyWhenAdvancedAndWraps) {
  platform::UseManualClock(0xFFFFFFF0u);
  EXPECT_EQ(timeGetTime(), 0xFFFFFFF0u);
  EXPECT_EQ(timeGetTime(), 0xFFFFFFF0u);
  platform::AdvanceManualClock(0x10);
  EXPECT_EQ(timeGetTime(), 0u) << "2^32 wraps to 0";
  platform::AdvanceManualClock(25);
  EXPECT_EQ(timeGetTime(), 25u);
  // Differences across the wrap still give the elapsed time.
  EXPECT_EQ(timeGetTime() - 0xFFFFFFF0u, 41u);
}

TEST_F(Win32Clock, ResetGoesBackToTheRealClock) {
  platform::UseManualClock(123456789u);
  platform::ResetWin32Hooks();
  const DWORD a = timeGetTime();
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_NE(timeGetTime(), a) << "still the frozen manual clock";
}

}  // namespace
