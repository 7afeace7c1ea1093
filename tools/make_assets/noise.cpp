// Integer hash, periodic gradient noise, fbm and Worley noise (see noise.h).
#include "noise.h"

#include <array>
#include <cmath>

namespace assets {

float Clamp(float x, float lo, float hi) { return x < lo ? lo : (x > hi ? hi : x); }
float Mix(float a, float b, float t) { return a + (b - a) * t; }
Rgb Mix(Rgb a, Rgb b, float t) { return a + (b - a) * t; }
float Fract(float x) { return x - std::floor(x); }

float Smoothstep(float e0, float e1, float x) {
  float t = Clamp((x - e0) / (e1 - e0));
  return t * t * (3.0f - 2.0f * t);
}

int Wrap(int i, int period) {
  int m = i % period;
  return m < 0 ? m + period : m;
}

Rgb Hex(uint32_t rgb) {
  return {static_cast<float>((rgb >> 16) & 0xff) / 255.0f,
          static_cast<float>((rgb >> 8) & 0xff) / 255.0f, static_cast<float>(rgb & 0xff) / 255.0f};
}

namespace {

// Avalanche step of a 32-bit integer (a well-known xorshift-multiply finaliser).
uint32_t Mix32(uint32_t x) {
  x ^= x >> 16;
  x *= 0x7feb352du;
  x ^= x >> 15;
  x *= 0x846ca68bu;
  x ^= x >> 16;
  return x;
}

// 256 unit gradient directions, evenly spread around the circle.
const std::array<float, 512>& Gradients() {
  static const std::array<float, 512> table = [] {
    std::array<float, 512> t{};
    for (int i = 0; i < 256; ++i) {
      float a = 2.0f * kPi * (static_cast<float>(i) + 0.5f) / 256.0f;
      t[2 * i] = std::cos(a);
      t[2 * i + 1] = std::sin(a);
    }
    return t;
  }();
  return table;
}

float Quintic(float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); }

}  // namespace

uint32_t Hash(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
  uint32_t h = Mix32(a + 0x9e3779b9u);
  h = Mix32(h ^ (b + 0x85ebca6bu));
  h = Mix32(h ^ (c + 0xc2b2ae35u));
  return Mix32(h ^ (d + 0x27d4eb2fu));
}

float HashUnit(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
  return static_cast<float>(Hash(a, b, c, d) >> 8) * (1.0f / 16777216.0f);
}

float GradientNoise(float x, float y, int periodX, int periodY, uint32_t seed) {
  const auto& grad = Gradients();
  float fx = std::floor(x), fy = std::floor(y);
  int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
  float tx = x - fx, ty = y - fy;
  auto corner = [&](int cx, int cy, float dx, float dy) {
    uint32_t h = Hash(static_cast<uint32_t>(Wrap(ix + cx, periodX)),
                      static_cast<uint32_t>(Wrap(iy + cy, periodY)), seed) &
                 255u;
    return grad[2 * h] * dx + grad[2 * h + 1] * dy;
  };
  float n00 = corner(0, 0, tx, ty), n10 = corner(1, 0, tx - 1.0f, ty);
  float n01 = corner(0, 1, tx, ty - 1.0f), n11 = corner(1, 1, tx - 1.0f, ty - 1.0f);
  float sx = Quintic(tx), sy = Quintic(ty);
  return 1.41f * Mix(Mix(n00, n10, sx), Mix(n01, n11, sx), sy);
}

float Fbm(float u, float v, int freqX, int freqY, int octaves, uint32_t seed) {
  float sum = 0.0f, amp = 1.0f, norm = 0.0f;
  for (int o = 0; o < octaves; ++o) {
    int fx = freqX << o, fy = freqY << o;
    sum += amp * GradientNoise(u * static_cast<float>(fx), v * static_cast<float>(fy), fx, fy,
                               seed + 7919u * static_cast<uint32_t>(o));
    norm += amp;
    amp *= 0.5f;
  }
  return sum / norm;
}

float FbmPlane(float x, float y, int octaves, uint32_t seed) {
  constexpr int kHuge = 1 << 20;
  float sum = 0.0f, amp = 1.0f, norm = 0.0f, f = 1.0f;
  for (int o = 0; o < octaves; ++o) {
    sum += amp * GradientNoise(x * f, y * f, kHuge, kHuge, seed + 7919u * static_cast<uint32_t>(o));
    norm += amp;
    amp *= 0.5f;
    f *= 2.03f;  // slightly off 2 so octave lattices never line up
  }
  return sum / norm;
}

Cell Worley(float u, float v, int cells, float jitter, uint32_t seed) {
  float x = u * static_cast<float>(cells), y = v * static_cast<float>(cells);
  int cx = static_cast<int>(std::floor(x)), cy = static_cast<int>(std::floor(y));
  Cell best;
  best.f1 = best.f2 = 1e9f;
  for (int oy = -1; oy <= 1; ++oy) {
    for (int ox = -1; ox <= 1; ++ox) {
      int gx = cx + ox, gy = cy + oy;
      uint32_t h = Hash(static_cast<uint32_t>(Wrap(gx, cells)),
                        static_cast<uint32_t>(Wrap(gy, cells)), seed, 0x51u);
      float px = static_cast<float>(gx) + 0.5f + jitter * (HashUnit(h, 1) - 0.5f);
      float py = static_cast<float>(gy) + 0.5f + jitter * (HashUnit(h, 2) - 0.5f);
      float dx = x - px, dy = y - py;
      float d = std::sqrt(dx * dx + dy * dy);
      if (d < best.f1) {
        best.f2 = best.f1;
        best.f1 = d;
        best.dx = dx;
        best.dy = dy;
        best.id = h;
      } else if (d < best.f2) {
        best.f2 = d;
      }
    }
  }
  return best;
}

}  // namespace assets
