// A small fighter plane seen from above, nose towards the top of the image,
// on a transparent background. Each pixel averages 4 x 4 samples so the
// outline gets soft alpha edges.
#include "patterns.h"

#include <cmath>

namespace assets {

namespace {

struct Pt {
  float x, y;
};

// Even-odd rule point-in-polygon test.
template <int N>
bool Inside(const Pt (&poly)[N], float x, float y) {
  bool in = false;
  for (int i = 0, j = N - 1; i < N; j = i++) {
    if ((poly[i].y > y) != (poly[j].y > y) &&
        x < (poly[j].x - poly[i].x) * (y - poly[i].y) / (poly[j].y - poly[i].y) + poly[i].x)
      in = !in;
  }
  return in;
}

float FuselageHalfWidth(float y) {
  if (y < -0.95f || y > 0.9f) return 0.0f;
  if (y < -0.55f) return 0.085f * std::sqrt((y + 0.95f) / 0.4f);
  if (y > 0.72f) return 0.085f - (y - 0.72f) * 0.2f;
  return 0.085f;
}

// Colour at (x, y) in [-1, 1]^2 (y down); false where the plane isn't.
bool FighterSample(float x, float y, Rgb& out) {
  static const Pt wing[] = {{0.06f, -0.14f}, {0.8f, 0.3f}, {0.8f, 0.42f}, {0.06f, 0.42f}};
  static const Pt tailplane[] = {{0.05f, 0.58f}, {0.36f, 0.8f}, {0.36f, 0.88f}, {0.05f, 0.86f}};
  static const Pt intake[] = {{0.07f, -0.34f}, {0.12f, -0.28f}, {0.12f, 0.12f}, {0.07f, 0.12f}};
  float ax = std::fabs(x);
  float camo = Fbm(0.5f + 0.5f * x, 0.5f + 0.5f * y, 2, 3, 1801);
  Rgb paint = camo > 0.08f ? Hex(0x5d6b78) : Hex(0x8694a1);

  float cx = x / 0.05f, cy = (y + 0.48f) / 0.16f;
  if (cx * cx + cy * cy < 1.0f) {  // canopy with a reflection
    float glint = Smoothstep(0.5f, 0.1f, std::hypot(cx + 0.35f, cy + 0.45f));
    out = Mix(Hex(0x1c2c40), Hex(0xbfd8f0), 0.8f * glint);
    return true;
  }
  float w = FuselageHalfWidth(y);
  if (ax < w) {
    if (y > 0.83f && ax < 0.06f) {  // exhaust nozzle
      out = Hex(0x2e2e30);
      return true;
    }
    Rgb c = paint * (1.15f - 0.4f * (ax / w) * (ax / w));  // rounded body
    if (y > 0.5f && ax < 0.012f) c = Hex(0x3c4650);        // fin seen edge-on
    if (y < -0.88f) c = Hex(0x40464c);                     // nose cone
    out = c;
    return true;
  }
  if (Inside(intake, ax, y)) {
    out = y < -0.3f ? Hex(0x1e2226) : Hex(0x6d7a86);
    return true;
  }
  if (ax > 0.77f && ax < 0.83f && y > 0.12f && y < 0.44f) {  // wing-tip missiles
    out = y < 0.16f ? Hex(0xb03028) : Hex(0xd8dcdf);
    return true;
  }
  if (Inside(wing, ax, y)) {
    Rgb c = paint;
    float rx = ax - 0.5f, ry = y - 0.24f, r = std::sqrt(rx * rx + ry * ry);  // roundel
    if (r < 0.075f) c = r < 0.028f ? Hex(0xc8262c) : (r < 0.05f ? Hex(0xf0f0f0) : Hex(0x1d3f8a));
    float lead = 0.06f + (ax - 0.06f) * (0.44f / 0.74f) - y;  // distance behind the leading edge
    if (lead > -0.03f) c = c * 1.15f;
    if (std::fabs(y - 0.37f) < 0.008f) c = c * 0.65f;  // flap line
    out = c;
    return true;
  }
  if (Inside(tailplane, ax, y)) {
    out = paint * (std::fabs(y - 0.82f) < 0.008f ? 0.65f : 1.0f);
    return true;
  }
  return false;
}

}  // namespace

Canvas Fighter(int size) {
  Canvas c(size);
  constexpr int kSub = 4;
  for (int py = 0; py < size; ++py) {
    for (int px = 0; px < size; ++px) {
      Rgb sum;
      int hits = 0;
      for (int sy = 0; sy < kSub; ++sy) {
        for (int sx = 0; sx < kSub; ++sx) {
          float x = 2.0f * (px + (sx + 0.5f) / kSub) / size - 1.0f;
          float y = 2.0f * (py + (sy + 0.5f) / kSub) / size - 1.0f;
          Rgb s;
          if (FighterSample(x * 1.04f, y * 1.04f, s)) {
            sum = sum + s;
            ++hits;
          }
        }
      }
      c.At(px, py) = hits ? sum * (1.0f / hits) : Rgb{};
      c.AlphaAt(px, py) = static_cast<float>(hits) / (kSub * kSub);
    }
  }
  return c;
}

}  // namespace assets
