// MessageBoxA without a display: one line on stderr; and its hook.
#include "win32/message_box.h"

#include <gtest/gtest.h>

#include <string>

#include "test_window.h"
#include "win32/win32_internal.h"

namespace {

TEST(Win32MessageBox, LineFormat) {
  EXPECT_EQ(platform::FormatMessageBoxLine("Direct3D failed", "Endless field"),
            "Endless field: Direct3D failed");
  EXPECT_EQ(platform::FormatMessageBoxLine("no device", nullptr), "Error: no device")
      << "Windows' default title";
  EXPECT_EQ(platform::FormatMessageBoxLine(nullptr, "Title"), "Title: ");
}

class Win32MessageBoxCall : public platform_test::Win32Test {};

TEST_F(Win32MessageBoxCall, WithoutARealDisplayPrintsOneLineAndReturnsOk) {
  // The tests run on the offscreen driver (or none): nothing to show a box on.
  // On a real display the box would wait for a click.
  if (platform::SdlVideoHasRealDisplay()) GTEST_SKIP() << "a real display would show a modal box";
  ::testing::internal::CaptureStderr();
  const int result =
      MessageBoxA(nullptr, "Could not start Direct3D", nullptr, MB_OK | MB_ICONERROR);
  const std::string printed = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(printed, "Error: Could not start Direct3D\n");
}

TEST_F(Win32MessageBoxCall, HookSeesTheArgumentsAndAnswers) {
  std::string seen;
  UINT seenType = 0;
  platform::SetMessageBoxHook([&](HWND, const char* text, const char* caption, UINT type) {
    seen = std::string(caption ? caption : "(null)") + "|" + text;
    seenType = type;
    return 99;
  });
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBoxA(nullptr, "text", nullptr, MB_ICONERROR), 99);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << "the hook replaces the output";
  EXPECT_EQ(seen, "(null)|text") << "the hook gets the caller's own arguments";
  EXPECT_EQ(seenType, UINT{MB_ICONERROR});
}

}  // namespace
