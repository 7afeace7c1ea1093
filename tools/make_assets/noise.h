// Shared helpers for the asset generator: an integer hash, periodic gradient
// noise, fractal sums of it, periodic cellular (Worley) noise and a small
// float colour type. Everything is a pure function of its arguments, so the
// generated images come out byte-identical on every run.
// Limits: "periodic" means periodic over the unit square when the lattice
// frequencies passed in are integers; nothing here is tuned for speed.
#pragma once

#include <cstdint>

namespace assets {

constexpr float kPi = 3.14159265358979f;

struct Rgb {
  float r = 0, g = 0, b = 0;
};

inline Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Rgb operator-(Rgb a, Rgb b) { return {a.r - b.r, a.g - b.g, a.b - b.b}; }
inline Rgb operator*(Rgb a, float s) { return {a.r * s, a.g * s, a.b * s}; }
inline Rgb operator*(Rgb a, Rgb b) { return {a.r * b.r, a.g * b.g, a.b * b.b}; }

float Clamp(float x, float lo = 0.0f, float hi = 1.0f);
float Mix(float a, float b, float t);
Rgb Mix(Rgb a, Rgb b, float t);
float Smoothstep(float e0, float e1, float x);
float Fract(float x);
int Wrap(int i, int period);

// 0xRRGGBB to a float colour.
Rgb Hex(uint32_t rgb);

uint32_t Hash(uint32_t a, uint32_t b = 0, uint32_t c = 0, uint32_t d = 0);
// Uniform in [0, 1).
float HashUnit(uint32_t a, uint32_t b = 0, uint32_t c = 0, uint32_t d = 0);

// Gradient noise in about [-1, 1]; the lattice repeats every periodX / periodY cells.
float GradientNoise(float x, float y, int periodX, int periodY, uint32_t seed);

// Fractal sum over the unit square (u, v in [0, 1)), periodic with period 1.
// The first octave has freqX x freqY lattice cells; each further one doubles both.
// Result is normalised to about [-1, 1].
float Fbm(float u, float v, int freqX, int freqY, int octaves, uint32_t seed);
inline float Fbm(float u, float v, int freq, int octaves, uint32_t seed) {
  return Fbm(u, v, freq, freq, octaves, seed);
}

// Non-repeating (in practice) fractal noise on the plane, one lattice cell per unit.
float FbmPlane(float x, float y, int octaves, uint32_t seed);

// Nearest and second-nearest feature points of an n x n jittered grid that
// wraps over the unit square. Distances are in cell units.
struct Cell {
  float f1 = 0, f2 = 0;  // distance to nearest / second-nearest point
  float dx = 0, dy = 0;  // offset from the nearest point to the sample
  uint32_t id = 0;       // hash of the nearest point's cell
};
Cell Worley(float u, float v, int cells, float jitter, uint32_t seed);

}  // namespace assets
