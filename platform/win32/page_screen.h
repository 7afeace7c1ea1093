// The screen of a web page and where its canvas shows. The page's screen is
// its viewport in device pixels, so that a window sized from it has one
// drawing-buffer pixel per device pixel. When the viewport changes later (a
// phone turned, a browser window resized, full screen), the canvas is scaled
// to fit it with its shape kept, and its drawing buffer stays as it is, as a
// window's back buffer is stretched into a resized window: the program never
// learns of it. Pure functions, no browser needed (web_window.cpp uses them).
#pragma once

namespace platform {

// A viewport as the page reports it: its size in CSS pixels and the device
// pixels per CSS pixel (devicePixelRatio).
struct PageViewport {
  double m_cssWidth = 0;
  double m_cssHeight = 0;
  double m_ratio = 1;
};

// The viewport's size in device pixels, rounded: the page's screen.
int DeviceWidth(const PageViewport& viewport);
int DeviceHeight(const PageViewport& viewport);

// A window on the screen it was made on, in device pixels.
struct ScreenWindow {
  int m_screenWidth = 0;
  int m_screenHeight = 0;
  int m_x = 0;
  int m_y = 0;
  int m_width = 0;
  int m_height = 0;
};

// A box in the page, in CSS pixels.
struct PageBox {
  double m_left = 0;
  double m_top = 0;
  double m_width = 0;
  double m_height = 0;
};

// Where the window's canvas shows in `viewport`: the screen it was made on,
// scaled to fit the viewport with its shape kept and centred in it (as a
// monitor shows a mode of another shape), with the window at its place on
// it. In the viewport it was made in, that is the window's own place and size
// over the ratio. A screen of unknown size (0) is taken as the viewport.
PageBox CanvasBoxInViewport(const ScreenWindow& window, const PageViewport& viewport);

}  // namespace platform
