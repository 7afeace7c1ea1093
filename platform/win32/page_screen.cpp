// The page's screen in device pixels and the canvas's box in CSS pixels (see
// page_screen.h).
#include "win32/page_screen.h"

#include <algorithm>
#include <cmath>

namespace platform {

int DeviceWidth(const PageViewport& viewport) {
  return static_cast<int>(std::lround(viewport.m_cssWidth * viewport.m_ratio));
}

int DeviceHeight(const PageViewport& viewport) {
  return static_cast<int>(std::lround(viewport.m_cssHeight * viewport.m_ratio));
}

PageBox CanvasBoxInViewport(const ScreenWindow& window, const PageViewport& viewport) {
  // In device pixels of the viewport now, rounded as the screen was, so that
  // the viewport the window was made in gives a scale of exactly 1.
  const double width = DeviceWidth(viewport);
  const double height = DeviceHeight(viewport);
  const double screenWidth = window.m_screenWidth > 0 ? window.m_screenWidth : width;
  const double screenHeight = window.m_screenHeight > 0 ? window.m_screenHeight : height;
  const double scale = std::min(width / screenWidth, height / screenHeight);
  const double left = (width - screenWidth * scale) / 2 + window.m_x * scale;
  const double top = (height - screenHeight * scale) / 2 + window.m_y * scale;
  const double ratio = viewport.m_ratio > 0 ? viewport.m_ratio : 1;
  return {left / ratio, top / ratio, window.m_width * scale / ratio,
          window.m_height * scale / ratio};
}

}  // namespace platform
