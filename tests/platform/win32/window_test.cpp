// Window classes, window creation and the screen size.
#include <gtest/gtest.h>

#include "test_window.h"

namespace {

using platform_test::MakeClass;
using platform_test::Win32Test;

class Win32Window : public Win32Test {};

TEST_F(Win32Window, RegisterClassKeepsACopyAndRefusesTheSameNameInAnyCase) {
  char name[] = "RegisterCopyClass";
  WNDCLASSEXA wc = MakeClass(name);
  const ATOM atom = RegisterClassExA(&wc);
  EXPECT_NE(atom, 0);
  name[0] = 'X';  // the caller's buffer changing does not rename the class
  WNDCLASSEXA again = MakeClass("registercopyclass");
  EXPECT_EQ(RegisterClassExA(&again), 0) << "class names compare case-insensitively";
  WNDCLASSEXA other = MakeClass("RegisterCopyClass2");
  const ATOM otherAtom = RegisterClassExA(&other);
  EXPECT_NE(otherAtom, 0);
  EXPECT_NE(otherAtom, atom);
}

TEST_F(Win32Window, RegisterClassRejectsIncompleteDescriptions) {
  EXPECT_EQ(RegisterClassExA(nullptr), 0);
  WNDCLASSEXA wc = MakeClass("RejectedClass");
  wc.cbSize = sizeof(WNDCLASSEXA) - 8;
  EXPECT_EQ(RegisterClassExA(&wc), 0) << "wrong cbSize";
  wc = MakeClass("RejectedClass");
  wc.lpfnWndProc = nullptr;
  EXPECT_EQ(RegisterClassExA(&wc), 0) << "no window procedure";
  wc = MakeClass(nullptr);
  EXPECT_EQ(RegisterClassExA(&wc), 0) << "no class name";
  wc = MakeClass("RejectedClass");
  EXPECT_NE(RegisterClassExA(&wc), 0) << "the valid description was refused after the bad ones";
}

TEST_F(Win32Window, RegisterClassFailsWhileTheHookSaysSo) {
  platform::SetRegisterClassFails(true);
  WNDCLASSEXA wc = MakeClass("HookFailedClass");
  EXPECT_EQ(RegisterClassExA(&wc), 0);
  platform::ResetWin32Hooks();
  EXPECT_NE(RegisterClassExA(&wc), 0) << "the failed call must not have registered the class";
}

TEST_F(Win32Window, CreateWindowOfAnUnknownClassFails) {
  EXPECT_EQ(CreateWindowExA(0, "NoSuchClassAnywhere", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                            nullptr, nullptr),
            nullptr);
  EXPECT_EQ(
      CreateWindowExA(0, nullptr, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr),
      nullptr);
}

TEST_F(Win32Window, CreateWindowMakesAnSdlWindowOfTheAskedShape) {
  if (!platform::EnsureSdlVideo()) GTEST_SKIP() << "no SDL video: " << platform::SdlVideoError();
  HWND hwnd =
      CreateWindowExA(0, platform_test::RecordingClassName(), "Endless field",
                      WS_POPUP | WS_VISIBLE, 20, 30, 320, 200, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(hwnd, nullptr);
  SDL_Window* window = platform::SdlWindowFromHwnd(hwnd);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(platform::HwndFromSdlWindow(window), hwnd);
  int w = 0, h = 0;
  SDL_GetWindowSize(window, &w, &h);
  EXPECT_EQ(w, 320);
  EXPECT_EQ(h, 200);
  const Uint32 flags = SDL_GetWindowFlags(window);
  EXPECT_TRUE(flags & SDL_WINDOW_OPENGL) << "the Direct3D part needs a GL window";
  EXPECT_TRUE(flags & SDL_WINDOW_BORDERLESS) << "WS_POPUP";
  EXPECT_TRUE(flags & SDL_WINDOW_ALLOW_HIGHDPI) << "a scaled output must not enlarge the picture";
  EXPECT_STREQ(SDL_GetWindowTitle(window), "Endless field");
  EXPECT_TRUE(platform_test::Received().empty()) << "CreateWindowExA called the procedure";

  HWND tiny = CreateWindowExA(0, platform_test::RecordingClassName(), nullptr, WS_OVERLAPPEDWINDOW,
                              0, 0, 0, -5, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(tiny, nullptr);
  SDL_GetWindowSize(platform::SdlWindowFromHwnd(tiny), &w, &h);
  EXPECT_GE(w, 1);
  EXPECT_GE(h, 1);
  EXPECT_FALSE(SDL_GetWindowFlags(platform::SdlWindowFromHwnd(tiny)) & SDL_WINDOW_SHOWN)
      << "no WS_VISIBLE";
}

TEST_F(Win32Window, ForeignHandlesHaveNoSdlWindow) {
  int tag = 0;
  EXPECT_EQ(platform::SdlWindowFromHwnd(nullptr), nullptr);
  EXPECT_EQ(platform::SdlWindowFromHwnd(reinterpret_cast<HWND>(&tag)), nullptr);
  EXPECT_EQ(platform::HwndFromSdlWindow(nullptr), nullptr);
}

TEST_F(Win32Window, ScreenSizeOverrideAndOtherMetrics) {
  platform::SetScreenSizeOverride(1024, 768);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
  EXPECT_EQ(GetSystemMetrics(42), 0) << "unknown index";
  platform::ResetWin32Hooks();
  if (!platform::EnsureSdlVideo()) {
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 0) << "no display";
    return;
  }
  SDL_DisplayMode mode;
  ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &mode), 0) << SDL_GetError();
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), mode.w);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), mode.h);
}

// Wayland at a scale: SDL gives the desktop in window units and lists the
// output's physical mode first; windows are made in units of that scale.
TEST(Win32Screen, ScaleFromDisplayModesAndWindowUnits) {
  const auto scale = [](int desktopW, int desktopH, int w, int h) {
    SDL_DisplayMode desktop{};
    SDL_DisplayMode physical{};
    desktop.w = desktopW;
    desktop.h = desktopH;
    physical.w = w;
    physical.h = h;
    return platform::ScaleFromDisplayModes(desktop, physical);
  };
  EXPECT_FLOAT_EQ(scale(512, 384, 1024, 768), 2.0f);
  EXPECT_FLOAT_EQ(scale(1280, 720, 1920, 1080), 1.5f);
  EXPECT_NEAR(scale(1707, 960, 2560, 1440), 1.5f, 0.001f) << "a rounded desktop size";
  EXPECT_FLOAT_EQ(scale(1024, 768, 1024, 768), 1.0f) << "no scale";
  EXPECT_FLOAT_EQ(scale(1024, 768, 2048, 1152), 1.0f) << "a larger mode of another shape";
  EXPECT_FLOAT_EQ(scale(1920, 1080, 1280, 720), 1.0f) << "a smaller mode";
  EXPECT_FLOAT_EQ(scale(0, 0, 1024, 768), 1.0f) << "no desktop mode";

  EXPECT_EQ(platform::WindowUnitsFromPixels(824, 2.0f), 412);
  EXPECT_EQ(platform::WindowUnitsFromPixels(825, 2.0f), 413) << "the nearest";
  EXPECT_EQ(platform::WindowUnitsFromPixels(1720, 1.5f), 1147);
  EXPECT_EQ(platform::WindowUnitsFromPixels(-7, 1.0f), -7) << "unscaled places pass through";
}

TEST_F(Win32Window, ResourceHandles) {
  EXPECT_NE(GetModuleHandleA(nullptr), nullptr);
  EXPECT_EQ(GetModuleHandleA(nullptr), GetModuleHandleA(nullptr));
  EXPECT_NE(LoadCursorA(nullptr, IDC_ARROW), nullptr);
  EXPECT_EQ(LoadIconA(nullptr, IDI_APPLICATION), nullptr)
      << "no icons: Windows then shows its default";
  EXPECT_NE(GetStockObject(BLACK_BRUSH), nullptr);
}

TEST_F(Win32Window, ShowCursorCountsLikeWindows) {
  EXPECT_EQ(ShowCursor(FALSE), -1);
  EXPECT_EQ(ShowCursor(FALSE), -2);
  EXPECT_EQ(ShowCursor(TRUE), -1);
  EXPECT_EQ(ShowCursor(TRUE), 0);
  if (SDL_WasInit(SDL_INIT_VIDEO)) {
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
  }
}

}  // namespace
