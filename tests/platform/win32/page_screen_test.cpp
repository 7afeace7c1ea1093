// Where the page's canvas shows: one buffer pixel per device pixel in the
// viewport the window was made in, and the screen fitted, shape kept and
// centred, into another (a turned phone).
#include "win32/page_screen.h"

#include <gtest/gtest.h>

namespace {

using platform::CanvasBoxInViewport;
using platform::PageViewport;

// A phone of 390 x 844 CSS pixels at 3: a screen of 1170 x 2532 and the
// window the program makes on it.
const PageViewport kUpright = {390, 844, 3};
const platform::ScreenWindow kWindow = {1170, 2532, 20, 20, 970, 2332};

void ExpectBox(const platform::PageBox& box, double left, double top, double width, double height) {
  EXPECT_NEAR(box.m_left, left, 1e-6);
  EXPECT_NEAR(box.m_top, top, 1e-6);
  EXPECT_NEAR(box.m_width, width, 1e-6);
  EXPECT_NEAR(box.m_height, height, 1e-6);
}

TEST(PageScreen, TheScreenIsTheViewportInDevicePixels) {
  EXPECT_EQ(platform::DeviceWidth(kUpright), 1170);
  EXPECT_EQ(platform::DeviceHeight({1280, 800, 1.5}), 1200);
  EXPECT_EQ(platform::DeviceWidth({411, 731, 2.625}), 1079);  // 1078.875, rounded
}

TEST(PageScreen, TheCanvasShowsOneBufferPixelPerDevicePixel) {
  ExpectBox(CanvasBoxInViewport(kWindow, kUpright), 20 / 3.0, 20 / 3.0, 970 / 3.0, 2332 / 3.0);
}

TEST(PageScreen, ATurnFitsTheScreenIntoTheViewportCentred) {
  const double scale = 1170.0 / 2532;
  const double left = (2532 - 1170 * scale) / 2 + 20 * scale;
  ExpectBox(CanvasBoxInViewport(kWindow, {844, 390, 3}), left / 3, 20 * scale / 3, 970 * scale / 3,
            2332 * scale / 3);
}

}  // namespace
