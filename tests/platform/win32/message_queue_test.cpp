// The message queue: posted order, WM_QUIT's place, PM_NOREMOVE, dispatch to
// the class procedure, SDL events turned into messages, and the default
// handling of Alt+F4 and WM_CLOSE.
#include <gtest/gtest.h>

#include "test_window.h"
#include "win32/win32_internal.h"

namespace {

using platform_test::Received;
using platform_test::Win32Test;

constexpr UINT kWmUser = 0x0400;  // WM_USER

HWND FakeWindow() {
  static int tag;
  return reinterpret_cast<HWND>(&tag);
}

class Win32MessageQueue : public Win32Test {};

TEST_F(Win32MessageQueue, PostedMessagesComeOutInOrderAndQuitOnlyAfterThemOnce) {
  ASSERT_TRUE(platform::PostWindowMessage(FakeWindow(), kWmUser, 1, 10));
  PostQuitMessage(7);  // posted before the second message, yet comes after it
  ASSERT_TRUE(platform::PostWindowMessage(FakeWindow(), WM_CLOSE, 2, 20));

  MSG msg{};
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, UINT{kWmUser});
  EXPECT_EQ(msg.hwnd, FakeWindow());
  EXPECT_EQ(msg.wParam, WPARAM{1});
  EXPECT_EQ(msg.lParam, LPARAM{10});
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, UINT{WM_CLOSE});
  EXPECT_EQ(msg.wParam, WPARAM{2});
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, UINT{WM_QUIT});
  EXPECT_EQ(msg.hwnd, nullptr);
  EXPECT_EQ(msg.wParam, WPARAM{7}) << "the exit code";
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) << "WM_QUIT came a second time";
}

TEST_F(Win32MessageQueue, NoRemoveLeavesTheMessageAndTheQuit) {
  MSG msg{};
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) << "empty queue";
  ASSERT_TRUE(platform::PostWindowMessage(FakeWindow(), WM_CLOSE, 0, 0));
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, UINT{WM_CLOSE});
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, UINT{WM_CLOSE}) << "PM_NOREMOVE took the message away";

  PostQuitMessage(0);
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, UINT{WM_QUIT});
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, UINT{WM_QUIT});
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(Win32MessageQueue, FiltersPickMatchingMessagesAndKeepTheOthers) {
  static int otherTag;
  HWND other = reinterpret_cast<HWND>(&otherTag);
  ASSERT_TRUE(platform::PostWindowMessage(FakeWindow(), WM_KEYDOWN, 0, 0));
  ASSERT_TRUE(platform::PostWindowMessage(other, WM_CLOSE, 0, 0));
  MSG msg{};
  ASSERT_TRUE(PeekMessageA(&msg, other, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, UINT{WM_CLOSE});
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_CLOSE, WM_CLOSE, PM_REMOVE));
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_KEYDOWN, WM_KEYUP, PM_REMOVE));
  EXPECT_EQ(msg.message, UINT{WM_KEYDOWN});
}

TEST_F(Win32MessageQueue, ResetForgetsMessagesAndQuit) {
  ASSERT_TRUE(platform::PostWindowMessage(FakeWindow(), WM_CLOSE, 0, 0));
  PostQuitMessage(1);
  platform::ResetMessageQueue();
  MSG msg{};
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(Win32MessageQueue, FullQueueRefusesNewMessagesAndKeepsTheOldest) {
  int posted = 0;
  while (platform::PostWindowMessage(FakeWindow(), WM_CLOSE, static_cast<WPARAM>(posted), 0)) {
    ++posted;
    ASSERT_LT(posted, 100000) << "the queue never fills";
  }
  EXPECT_GE(posted, 64);
  MSG msg{};
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.wParam, WPARAM{0});
  EXPECT_TRUE(platform::PostWindowMessage(FakeWindow(), WM_CLOSE, 0, 0))
      << "room again after a removal";
}

TEST_F(Win32MessageQueue, TranslateAnswersForKeyMessagesOnly) {
  MSG msg{};
  for (UINT key : {WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP}) {
    msg.message = key;
    EXPECT_TRUE(TranslateMessage(&msg)) << "message 0x" << std::hex << key;
  }
  msg.message = WM_CLOSE;
  EXPECT_FALSE(TranslateMessage(&msg));
}

TEST_F(Win32MessageQueue, DispatchOfQuitOrUnknownWindowDoesNothing) {
  MSG msg{};
  msg.message = WM_QUIT;
  EXPECT_EQ(DispatchMessageA(&msg), 0);
  msg.hwnd = FakeWindow();
  msg.message = WM_CLOSE;
  EXPECT_EQ(DispatchMessageA(&msg), 0);
  EXPECT_TRUE(Received().empty());
}

LRESULT CALLBACK AnsweringProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Received().push_back({hwnd, message, wParam, lParam});
  return 1234;
}

TEST_F(Win32MessageQueue, DispatchCallsTheClassProcedureWithTheMessage) {
  if (!platform::EnsureSdlVideo()) GTEST_SKIP() << "no SDL video: " << platform::SdlVideoError();
  WNDCLASSEXA wc = platform_test::MakeClass("DispatchAnswering", AnsweringProc);
  ASSERT_NE(RegisterClassExA(&wc), 0);
  HWND hwnd = CreateWindowExA(0, "DispatchAnswering", "", WS_POPUP, 0, 0, 8, 8, nullptr, nullptr,
                              nullptr, nullptr);
  ASSERT_NE(hwnd, nullptr);
  platform_test::DrainMessages();
  EXPECT_TRUE(Received().empty()) << "CreateWindowExA is not to call the procedure";

  ASSERT_TRUE(platform::PostWindowMessage(hwnd, WM_KEYDOWN, VK_UP, 0x01480001));
  MSG msg{};
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(DispatchMessageA(&msg), 1234) << "the procedure's result";
  ASSERT_EQ(Received().size(), 1u);
  EXPECT_EQ(Received()[0].hwnd, hwnd);
  EXPECT_EQ(Received()[0].message, UINT{WM_KEYDOWN});
  EXPECT_EQ(Received()[0].wParam, WPARAM{VK_UP});
  EXPECT_EQ(Received()[0].lParam, LPARAM{0x01480001});
}

TEST_F(Win32MessageQueue, WindowCloseEventBecomesWmClose) {
  HWND hwnd = MakeWindow();
  SKIP_WITHOUT_WINDOW(hwnd);
  PushWindowEvent(hwnd, SDL_WINDOWEVENT_CLOSE);
  SDL_Event quit{};
  quit.type = SDL_QUIT;  // SDL adds this after the last window's close: ignored
  ASSERT_EQ(SDL_PushEvent(&quit), 1);
  MSG msg{};
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, hwnd);
  EXPECT_EQ(msg.message, UINT{WM_CLOSE});
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
      << "message 0x" << std::hex << msg.message;
}

TEST_F(Win32MessageQueue, FocusEventsBecomeSetAndKillFocus) {
  HWND hwnd = MakeWindow();
  SKIP_WITHOUT_WINDOW(hwnd);
  PushWindowEvent(hwnd, SDL_WINDOWEVENT_FOCUS_GAINED);
  PushWindowEvent(hwnd, SDL_WINDOWEVENT_FOCUS_LOST);
  MSG msg{};
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, UINT{WM_SETFOCUS});
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, UINT{WM_KILLFOCUS});
  EXPECT_EQ(msg.hwnd, hwnd);
}

TEST_F(Win32MessageQueue, EscapeKeyEventsBecomeKeyMessages) {
  HWND hwnd = MakeWindow();
  SKIP_WITHOUT_WINDOW(hwnd);
  PushKey(hwnd, SDL_KEYDOWN, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE);
  PushKey(hwnd, SDL_KEYDOWN, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, 0, 1);
  PushKey(hwnd, SDL_KEYUP, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE);
  MSG msg{};
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, hwnd);
  EXPECT_EQ(msg.message, UINT{WM_KEYDOWN});
  EXPECT_EQ(msg.wParam, WPARAM{VK_ESCAPE});
  EXPECT_EQ(msg.lParam, LPARAM{0x00010001});
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, UINT{WM_KEYDOWN});
  EXPECT_EQ(msg.lParam, LPARAM{0x40010001}) << "auto-repeat sets bit 30";
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, UINT{WM_KEYUP});
  EXPECT_EQ(msg.wParam, WPARAM{VK_ESCAPE});
}

TEST_F(Win32MessageQueue, KeyEventsForUnknownWindowsAreDropped) {
  HWND hwnd = MakeWindow();
  SKIP_WITHOUT_WINDOW(hwnd);
  SDL_Event event{};
  event.type = SDL_KEYDOWN;
  event.key.windowID = 0;  // no window had focus
  event.key.keysym.scancode = SDL_SCANCODE_ESCAPE;
  event.key.keysym.sym = SDLK_ESCAPE;
  ASSERT_EQ(SDL_PushEvent(&event), 1);
  MSG msg{};
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(Win32MessageQueue, AltF4ClosesTheWindowThroughTheDefaultProcedure) {
  HWND hwnd = MakeWindow();
  SKIP_WITHOUT_WINDOW(hwnd);
  ASSERT_NE(platform::SdlWindowFromHwnd(hwnd), nullptr);
  PushKey(hwnd, SDL_KEYDOWN, SDL_SCANCODE_F4, SDLK_F4, KMOD_LALT);

  MSG msg{};
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, UINT{WM_SYSKEYDOWN});
  EXPECT_EQ(msg.wParam, WPARAM{VK_F4});
  DispatchMessageA(&msg);  // the recording procedure passes it to DefWindowProcA
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, UINT{WM_CLOSE});
  DispatchMessageA(&msg);

  ASSERT_EQ(Received().size(), 3u);
  EXPECT_EQ(Received()[2].message, UINT{WM_DESTROY})
      << "WM_CLOSE's default is to destroy the window";
  EXPECT_EQ(Received()[2].hwnd, hwnd);
  EXPECT_EQ(platform::SdlWindowFromHwnd(hwnd), nullptr) << "the handle is stale after destruction";
  msg.message = WM_CLOSE;
  msg.hwnd = hwnd;
  EXPECT_EQ(DispatchMessageA(&msg), 0);
  EXPECT_EQ(Received().size(), 3u) << "a destroyed window got a message";
}

TEST_F(Win32MessageQueue, F4WithoutAltDoesNotClose) {
  HWND hwnd = MakeWindow();
  SKIP_WITHOUT_WINDOW(hwnd);
  EXPECT_EQ(DefWindowProcA(hwnd, WM_KEYDOWN, VK_F4, 0x003E0001), 0);
  EXPECT_EQ(DefWindowProcA(hwnd, WM_SYSKEYDOWN, VK_F4, 0x003E0001), 0);  // no Alt bit
  MSG msg{};
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_NE(platform::SdlWindowFromHwnd(hwnd), nullptr);
}

TEST_F(Win32MessageQueue, DefWindowProcHookReplacesTheDefault) {
  HWND hwnd = MakeWindow();
  SKIP_WITHOUT_WINDOW(hwnd);
  UINT seen = 0;
  platform::SetDefWindowProcHook([&seen](HWND, UINT message, WPARAM, LPARAM) -> LRESULT {
    seen = message;
    return 42;
  });
  EXPECT_EQ(DefWindowProcA(hwnd, WM_CLOSE, 0, 0), 42);
  EXPECT_EQ(seen, UINT{WM_CLOSE});
  EXPECT_NE(platform::SdlWindowFromHwnd(hwnd), nullptr) << "the default ran despite the hook";
  EXPECT_TRUE(Received().empty());
}

}  // namespace
