// The cursor as the X server shows it (XFixes), for a window of the layer on
// a real X display: hidden over the window after ShowCursor(FALSE), shown
// outside it, and shown over it again once ShowCursor(TRUE) brings the count
// back to 0. Runs under its own Xvfb screen (cursor_test.sh).
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

// After GoogleTest: Xlib's macros (None, Bool) would break its headers.
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

namespace {

LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

// Whether the server's current cursor image has any pixel that is not fully
// transparent.
bool CursorShows(Display* display) {
  XFixesCursorImage* image = XFixesGetCursorImage(display);
  if (image == nullptr) return false;
  bool shows = false;
  for (int i = 0, n = image->width * image->height; i < n && !shows; ++i)
    shows = (image->pixels[i] >> 24) != 0;
  XFree(image);
  return shows;
}

// Moves the pointer to (x, y) of the screen, then gives the layer's messages
// and the server up to ten seconds (a loaded machine) to agree with `expected`; returns what
// the server shows last.
bool CursorShowsAt(Display* display, int x, int y, bool expected) {
  XWarpPointer(display, None, DefaultRootWindow(display), 0, 0, 0, 0, x, y);
  XSync(display, False);
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  bool shows = CursorShows(display);
  while (shows != expected && std::chrono::steady_clock::now() < end) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    shows = CursorShows(display);
  }
  return shows;
}

TEST(Cursor, HiddenOverTheWindowAfterShowCursorFalseAndShownOutside) {
  ASSERT_NE(getenv("DISPLAY"), nullptr) << "runs under cursor_test.sh's Xvfb";
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  int eventBase = 0, errorBase = 0;
  ASSERT_TRUE(XFixesQueryExtension(display, &eventBase, &errorBase)) << "no XFixes";

  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = Procedure;
  wc.lpszClassName = "CursorTest";
  ASSERT_NE(RegisterClassExA(&wc), 0);
  // The program's window shape: borderless, visible, at (20, 20).
  HWND window = CreateWindowExA(0, "CursorTest", "cursor test", WS_POPUP | WS_VISIBLE, 20, 20, 400,
                                300, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);

  const int insideX = 200, insideY = 150, outsideX = 800, outsideY = 600;
  EXPECT_TRUE(CursorShowsAt(display, insideX, insideY, true)) << "no cursor over the window";
  EXPECT_EQ(ShowCursor(FALSE), -1);
  EXPECT_FALSE(CursorShowsAt(display, insideX, insideY, false))
      << "the cursor still shows over the window after ShowCursor(FALSE)";
  EXPECT_TRUE(CursorShowsAt(display, outsideX, outsideY, true))
      << "the cursor is hidden outside the window too";
  EXPECT_FALSE(CursorShowsAt(display, insideX, insideY, false))
      << "the cursor came back over the window";
  EXPECT_EQ(ShowCursor(TRUE), 0);
  EXPECT_TRUE(CursorShowsAt(display, insideX, insideY, true))
      << "ShowCursor(TRUE) back to 0 did not show the cursor again";

  XCloseDisplay(display);
}

}  // namespace
