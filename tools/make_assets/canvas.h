// A float RGBA canvas for the asset generator, helpers that fill it from a
// per-pixel function, and the JPEG (libturbojpeg) / PNG (libpng) writers.
// Limits: square images only; JPEG drops the alpha channel.
#pragma once

#include "noise.h"

#include <string>
#include <vector>

namespace assets {

struct Canvas {
  explicit Canvas(int n)
      : size(n), colour(static_cast<size_t>(n) * n), alpha(colour.size(), 1.0f) {}

  Rgb& At(int x, int y) {
    return colour[static_cast<size_t>(Wrap(y, size)) * size + Wrap(x, size)];
  }
  float& AlphaAt(int x, int y) {
    return alpha[static_cast<size_t>(Wrap(y, size)) * size + Wrap(x, size)];
  }
  // Blends c over the pixel; coordinates wrap so strokes continue across edges.
  void Blend(int x, int y, Rgb c, float a) { At(x, y) = Mix(At(x, y), c, Clamp(a)); }

  int size;
  std::vector<Rgb> colour;
  std::vector<float> alpha;
};

// Fills a canvas from f(u, v) with u, v = pixel / size in [0, 1). With
// periodic pattern functions the right column continues into the left one.
template <class F>
Canvas Render(int size, F f) {
  Canvas c(size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x)
      c.At(x, y) = f(static_cast<float>(x) / size, static_cast<float>(y) / size);
  return c;
}

// Lit-from-above raised-panel edge: lighter top/left rim, darker bottom/right
// rim. Gives cube faces a visible "up".
void Bevel(Canvas& c, int width, float strength);

bool WriteJpeg(const std::string& path, const Canvas& c, int quality);
bool WritePng(const std::string& path, const Canvas& c);

}  // namespace assets
