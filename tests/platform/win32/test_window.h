// Helpers for the Win32 tests: a window class whose procedure records every
// message it gets, and a window of it on SDL's video (offscreen in tests).
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform_hooks.h"
#include "win32/sdl_window.h"
#include "win32/win32_hooks.h"

namespace platform_test {

struct ReceivedMessage {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// Every message the recording procedure got, oldest first.
inline std::vector<ReceivedMessage>& Received() {
  static std::vector<ReceivedMessage> received;
  return received;
}

// Records the message, then hands it to DefWindowProcA like a real program.
inline LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Received().push_back({hwnd, message, wParam, lParam});
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

inline WNDCLASSEXA MakeClass(const char* name, WNDPROC proc = RecordingProc) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(WNDCLASSEXA);
  wc.lpfnWndProc = proc;
  wc.lpszClassName = name;
  return wc;
}

// The recording class, registered on first use.
inline const char* RecordingClassName() {
  static const bool registered = [] {
    WNDCLASSEXA wc = MakeClass("PlatformTestRecording");
    return RegisterClassExA(&wc) != 0;
  }();
  EXPECT_TRUE(registered);
  return "PlatformTestRecording";
}

// Empties SDL's event queue and the message queue, and forgets what the
// procedure got.
inline void DrainMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {}
  platform::ResetMessageQueue();
  Received().clear();
}

// Hooks reset before and after each test; a hidden popup window of the
// recording class is made on demand.
class Win32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::ResetWin32Hooks();
    Received().clear();
  }
  void TearDown() override {
    platform::ResetWin32Hooks();
    Received().clear();
  }

  // A window, or null (and the test should skip) when no display is there.
  HWND MakeWindow(DWORD style = WS_POPUP) {
    if (!platform::EnsureSdlVideo()) return nullptr;
    HWND hwnd = CreateWindowExA(0, RecordingClassName(), "test", style, 0, 0, 64, 48, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    EXPECT_NE(hwnd, nullptr);
    DrainMessages();
    return hwnd;
  }

  static void PushWindowEvent(HWND hwnd, SDL_WindowEventID id) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = SDL_GetWindowID(platform::SdlWindowFromHwnd(hwnd));
    event.window.event = static_cast<Uint8>(id);
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
  }

  static void PushKey(HWND hwnd, Uint32 type, SDL_Scancode scancode, SDL_Keycode keycode,
                      Uint16 mod = 0, Uint8 repeat = 0) {
    SDL_Event event{};
    event.type = type;
    event.key.windowID = SDL_GetWindowID(platform::SdlWindowFromHwnd(hwnd));
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat;
    event.key.keysym.scancode = scancode;
    event.key.keysym.sym = keycode;
    event.key.keysym.mod = mod;
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
  }
};

#define SKIP_WITHOUT_WINDOW(hwnd) \
  if ((hwnd) == nullptr) GTEST_SKIP() << "no SDL video: " << platform::SdlVideoError()

}  // namespace platform_test
