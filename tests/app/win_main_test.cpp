// The entry in a child process, as the real program runs it: WinMain's
// result handed to exit, so the globals' destructors run after it. Checks the
// exit code and the message boxes of every start-up failure.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "start_up_doubles.h"

namespace {

StartUpDoubles* g_doubles = nullptr;  // kept reachable until exit
int g_boxCount = 0;

void ReportBoxCount() { fprintf(stderr, "boxes=%d\n", g_boxCount); }

[[noreturn]] void RunWinMain(int failingStep, bool registerClassFails) {
  g_doubles = new StartUpDoubles();
  g_doubles->failAt = failingStep;
  g_doubles->Install();
  // The doubles live until the process ends; gmock must not count them as leaks.
  ::testing::Mock::AllowLeak(&g_doubles->d3d);
  ::testing::Mock::AllowLeak(&g_doubles->device);
  ::testing::Mock::AllowLeak(&g_doubles->input);
  ::testing::Mock::AllowLeak(&g_doubles->keyboard);
  platform::SetRegisterClassFails(registerClassFails);
  platform::SetMessageBoxHook([](HWND, const char* text, const char* caption, UINT) {
    ++g_boxCount;
    fprintf(stderr, "box: %s|%s\n", text, caption ? caption : "(default)");
    return IDOK;
  });
  // Registered after the globals' destructors, so it runs before them.
  atexit(ReportBoxCount);
  char commandLine[] = "";
  exit(WinMain(GetModuleHandleA(NULL), NULL, commandLine, SW_SHOWDEFAULT));
}

class WinMainDeathTest : public ::testing::Test {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(WinMainDeathTest, EachStartUpFailureShowsOneBoxAndExitsWithOne) {
  const char* texts[] = {
      "Direct3DCreate9\\(\\) - Fehler:1",   "GetAdapterDisplayMode\\(\\) - Fehler:2",
      "CheckDeviceFormat\\(\\) - Fehler:3", "GetDeviceCaps\\(\\) - Fehler:4",
      "CreateDevice\\(\\) - Fehler:5",      "DirectInput - Fehler:6"};
  for (int step = 1; step <= 6; ++step) {
    std::string expected = std::string("box: ") + texts[step - 1] + "\\|\\(default\\)\nboxes=1\n";
    EXPECT_EXIT(RunWinMain(step, false), ::testing::ExitedWithCode(1), expected) << "step " << step;
  }
}

TEST_F(WinMainDeathTest, FailingClassRegistrationReturnsEFailWithoutABox) {
  // A Linux exit status keeps only the low 8 bits of 0x80004005.
  EXPECT_EXIT(RunWinMain(0, true), ::testing::ExitedWithCode(E_FAIL & 0xFF), "^boxes=0\n$");
}

}  // namespace
