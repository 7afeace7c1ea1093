// The window procedure: which messages end the loop and which reach the
// default handling.
#include <gtest/gtest.h>

#include "app/app.h"
#include "platform_hooks.h"

namespace {

const LRESULT kDefaultResult = 0x5EED;

class WindowProcTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::ResetMessageQueue();
    platform::SetDefWindowProcHook([this](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
      ++defaultCalls;
      lastDefault = {hwnd, message, wParam, lParam, 0, {0, 0}};
      return kDefaultResult;
    });
  }
  void TearDown() override { platform::ResetHooks(); }

  // The messages now waiting, ending with WM_QUIT when a quit was posted.
  bool QuitPosted() {
    MSG msg = {};
    bool quit = false;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
      if (msg.message == WM_QUIT) quit = true;
    return quit;
  }

  HWND window = reinterpret_cast<HWND>(0x42);
  int defaultCalls = 0;
  MSG lastDefault = {};
};

TEST_F(WindowProcTest, EscapeKeyDownQuits) {
  EXPECT_EQ(0, WindowProc(window, WM_KEYDOWN, VK_ESCAPE, 0x00010001));
  EXPECT_TRUE(QuitPosted());
  EXPECT_EQ(0, defaultCalls);
}

TEST_F(WindowProcTest, OtherKeyDownsAreSwallowedWithoutDefaultHandling) {
  for (WPARAM key : {WPARAM(VK_UP), WPARAM('A'), WPARAM(VK_SPACE), WPARAM(VK_F4)}) {
    EXPECT_EQ(0, WindowProc(window, WM_KEYDOWN, key, 0)) << "key " << key;
  }
  EXPECT_FALSE(QuitPosted());
  EXPECT_EQ(0, defaultCalls);
}

TEST_F(WindowProcTest, CloseAndDestroyQuit) {
  EXPECT_EQ(0, WindowProc(window, WM_CLOSE, 0, 0));
  EXPECT_TRUE(QuitPosted());
  EXPECT_EQ(0, WindowProc(window, WM_DESTROY, 0, 0));
  EXPECT_TRUE(QuitPosted());
  EXPECT_EQ(0, defaultCalls) << "the close request must not destroy the window";
}

TEST_F(WindowProcTest, EverythingElseGoesToTheDefaultProcedure) {
  const UINT messages[] = {WM_SYSKEYDOWN, WM_KEYUP, WM_CHAR, WM_PAINT, WM_SETFOCUS, WM_MOUSEMOVE};
  for (UINT message : messages) {
    EXPECT_EQ(kDefaultResult, WindowProc(window, message, VK_ESCAPE, 7)) << "message " << message;
    EXPECT_EQ(window, lastDefault.hwnd);
    EXPECT_EQ(message, lastDefault.message);
    EXPECT_EQ(WPARAM(VK_ESCAPE), lastDefault.wParam);
    EXPECT_EQ(7, lastDefault.lParam);
  }
  EXPECT_EQ(6, defaultCalls);
  EXPECT_FALSE(QuitPosted()) << "a system Escape is not a quit";
}

}  // namespace
