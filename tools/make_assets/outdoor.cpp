// Ground and sky: tiling grass, a stone wall topped with grass, and the six
// faces of the sky box.
//
// Sky faces are computed from the view direction through each pixel, so faces
// meet without seams. Axes: +x right, +y up, +z front (left-handed, as in
// Direct3D). Side faces are seen from inside the box with +y up. The top
// face's bottom edge meets the front face's top edge; the bottom face's top
// edge meets the front face's bottom edge.
#include "patterns.h"

#include <cmath>
#include <cstring>

namespace assets {

namespace {

Rgb GrassGround(float u, float v, uint32_t seed) {
  Rgb c = Mix(Hex(0x2c5418), Hex(0x5b8a26), 0.5f + 0.5f * Fbm(u, v, 3, 4, seed));
  c = Mix(c, Hex(0x8c8b3c),
          0.3f * Smoothstep(0.25f, 0.7f, Fbm(u, v, 5, 3, seed + 1)));  // dry patches
  return c * (0.82f + 0.22f * Fbm(u, v, 32, 3, seed + 2));
}

// One blade as a 1-pixel stroke from root to tip, splatted bilinearly so it
// stays smooth. X always wraps; y wraps only when wrapY is set.
void DrawBlade(Canvas& c, float x0, float y0, float angle, float length, Rgb root, Rgb tip,
               bool wrapY) {
  int steps = static_cast<int>(length * 2.0f) + 1;
  for (int s = 0; s <= steps; ++s) {
    float t = static_cast<float>(s) / steps;
    float x = x0 + std::cos(angle) * length * t, y = y0 + std::sin(angle) * length * t;
    int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    float fx = x - ix, fy = y - iy;
    Rgb col = Mix(root, tip, t);
    float a = 0.85f * (1.0f - 0.4f * t);
    for (int oy = 0; oy <= 1; ++oy) {
      int py = iy + oy;
      if (!wrapY && (py < 0 || py >= c.size)) continue;
      for (int ox = 0; ox <= 1; ++ox) {
        float w = (ox ? fx : 1.0f - fx) * (oy ? fy : 1.0f - fy);
        c.Blend(ix + ox, py, col, a * w);
      }
    }
  }
}

// Layout of the wall: which stone a point belongs to and how far (in pixels)
// it is from the surrounding joints. Periodic across the image width.
struct WallPoint {
  float edge;      // distance to the nearest joint, corners rounded
  float toTop;     // distance to the joint above
  float toBottom;  // distance to the joint below
  uint32_t stone;
};

constexpr int kCourses = 5;
constexpr float kWallTop = 44.0f / 256.0f;

float CourseLine(float u, int k) {
  float base = kWallTop + (1.0f - kWallTop) * static_cast<float>(k) / kCourses;
  return base + 0.012f * Fbm(u, 0.1f * static_cast<float>(k), 4, 1, 3, 1401);
}

WallPoint WallAt(float u, float v, int size) {
  int k = 0;
  while (k < kCourses - 1 && v >= CourseLine(u, k + 1)) ++k;
  float top = CourseLine(u, k), bottom = k + 1 < kCourses ? CourseLine(u, k + 1) : 1.04f;
  int stones = 3 + static_cast<int>(Hash(static_cast<uint32_t>(k), 1402) % 3);
  float s = u * stones + HashUnit(static_cast<uint32_t>(k), 1403) * stones;
  int i = static_cast<int>(std::floor(s));
  auto joint = [&](int j) {
    return static_cast<float>(j) + 0.35f * (HashUnit(static_cast<uint32_t>(Wrap(j, stones)),
                                                     static_cast<uint32_t>(k), 1404) -
                                            0.5f);
  };
  if (s < joint(i)) --i;
  float pxPerStone = static_cast<float>(size) / stones;
  float dx = std::fmin(s - joint(i), joint(i + 1) - s) * pxPerStone;
  float toTop = (v - top) * size, toBottom = (bottom - v) * size;
  float dy = std::fmin(toTop, toBottom);
  const float r = 7.0f;
  float edge = (dx < r && dy < r) ? r - std::hypot(r - dx, r - dy) : std::fmin(dx, dy);
  uint32_t stone = Hash(static_cast<uint32_t>(k), static_cast<uint32_t>(Wrap(i, stones)), 1405);
  return {edge, toTop, toBottom, stone};
}

}  // namespace

Canvas Grass(int size) {
  Canvas c = Render(size, [](float u, float v) { return GrassGround(u, v, 1501); });
  const float n = static_cast<float>(size);
  for (uint32_t b = 0; b < 9000; ++b) {
    float x = HashUnit(b, 1502) * n, y = HashUnit(b, 1503) * n;
    float angle = 2.0f * kPi * HashUnit(b, 1504);
    float len = 3.0f + 6.0f * HashUnit(b, 1505);
    float tone = HashUnit(b, 1506);
    DrawBlade(c, x, y, angle, len, Mix(Hex(0x244a12), Hex(0x3f6e1c), tone),
              Mix(Hex(0x6d9a2e), Hex(0xa9c257), tone), true);
  }
  return c;
}

Canvas WallWithGrass(int size) {
  Canvas c = Render(size, [size](float u, float v) {
    if (v < kWallTop + 0.01f) return GrassGround(u, v, 1601) * 0.9f;
    WallPoint p = WallAt(u, v, size);
    const Rgb palette[3] = {Hex(0x9b958a), Hex(0xaa9f8a), Hex(0x83807a)};
    Rgb stone = palette[p.stone % 3] * (0.88f + 0.24f * HashUnit(p.stone, 1));
    stone = stone * (1.0f + 0.16f * Fbm(u, v, 8, 4, 1602) + 0.06f * Fbm(u, v, 64, 2, 1603));
    stone = Mix(stone, Hex(0xa3a05a),
                0.5f * Smoothstep(0.35f, 0.6f, Fbm(u, v, 12, 3, 1604)));  // lichen
    stone = stone * (1.0f + 0.18f * Smoothstep(9.0f, 0.0f, p.toTop) -
                     0.3f * Smoothstep(9.0f, 0.0f, p.toBottom));
    stone = stone * (0.7f + 0.3f * Smoothstep(0.0f, 7.0f, p.edge));
    Rgb mortar = Mix(Hex(0x3e3a33), Hex(0x46602a), Smoothstep(-0.2f, 0.4f, Fbm(u, v, 16, 3, 1605)));
    float jointWidth = 2.0f + 1.5f * Fbm(u, v, 16, 2, 1606);
    return Mix(mortar, stone, Smoothstep(jointWidth - 0.8f, jointWidth + 0.8f, p.edge));
  });
  const float n = static_cast<float>(size), top = kWallTop * n;
  // Grass on the wall crown: mostly upright, some blades hanging over the edge.
  for (uint32_t b = 0; b < 2600; ++b) {
    float x = HashUnit(b, 1607) * n, y = HashUnit(b, 1608) * (top + 6.0f);
    bool hanging = HashUnit(b, 1609) < 0.25f;
    float angle = (hanging ? 0.5f : -0.5f) * kPi + 0.7f * (HashUnit(b, 1610) - 0.5f);
    float len = (hanging ? 5.0f : 6.0f) + 10.0f * HashUnit(b, 1611);
    float tone = HashUnit(b, 1612);
    DrawBlade(c, x, y, angle, len, Mix(Hex(0x234510), Hex(0x3c6a1a), tone),
              Mix(Hex(0x6f9c30), Hex(0xb0c65a), tone), false);
  }
  // Small tufts growing out of the mortar joints.
  for (uint32_t t = 0; t < 400; ++t) {
    float u = HashUnit(t, 1613), v = kWallTop + (1.0f - kWallTop) * HashUnit(t, 1614);
    if (WallAt(u, v, size).edge > 1.5f) continue;
    for (uint32_t b = 0; b < 6; ++b) {
      float angle = -0.5f * kPi + 1.4f * (HashUnit(t, b, 1615) - 0.5f);
      DrawBlade(c, u * n, v * n, angle, 3.0f + 5.0f * HashUnit(t, b, 1616), Hex(0x2e5415),
                Hex(0x86a83e), false);
    }
  }
  return c;
}

namespace {

struct Vec3 {
  float x, y, z;
};

Vec3 Normalize(Vec3 v) {
  float len = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  return {v.x / len, v.y / len, v.z / len};
}

Rgb SkyColour(Vec3 d) {
  d = Normalize(d);
  const Rgb haze = Hex(0xdbe6ef), horizon = Hex(0xb0cbe6), zenith = Hex(0x2a62b4);
  float e = d.y;
  if (e < 0.0f)  // below the horizon: haze thickening into a dim blue-grey
    return Mix(haze, Hex(0x74828a), Smoothstep(0.0f, 0.5f, -e));
  Rgb sky = Mix(haze, horizon, Smoothstep(0.0f, 0.1f, e));
  sky = Mix(sky, zenith, std::pow(e, 0.55f));
  Vec3 sun = Normalize({0.35f, 0.5f, 0.8f});
  float sunDot = std::fmax(0.0f, d.x * sun.x + d.y * sun.y + d.z * sun.z);
  sky = sky + Hex(0xfff1d6) * (0.35f * std::pow(sunDot, 48.0f) + 0.12f * std::pow(sunDot, 4.0f));
  // Clouds on a flat layer above the viewer, dissolving into haze far away.
  float t = 1.3f / (e + 0.06f);
  float cx = d.x * t, cz = d.z * t;
  float density = FbmPlane(cx, cz, 6, 1701) + 0.25f * FbmPlane(0.3f * cx, 0.3f * cz, 2, 1702);
  float cover = Smoothstep(0.0f, 0.45f, density);
  float towardSun = FbmPlane(cx + 0.12f * sun.x, cz + 0.12f * sun.z, 6, 1701);
  float light = Clamp(0.65f + 4.0f * (density - towardSun));
  Rgb cloud = Mix(Hex(0x9eabbd), Hex(0xffffff), light);
  return Mix(sky, cloud, 0.95f * cover * Smoothstep(0.02f, 0.3f, e));
}

Vec3 FaceDirection(const char* face, float a, float b) {
  if (!std::strcmp(face, "front")) return {a, -b, 1.0f};
  if (!std::strcmp(face, "back")) return {-a, -b, -1.0f};
  if (!std::strcmp(face, "right")) return {1.0f, -b, -a};
  if (!std::strcmp(face, "left")) return {-1.0f, -b, a};
  if (!std::strcmp(face, "top")) return {a, 1.0f, b};
  return {a, -1.0f, -b};  // bottom
}

}  // namespace

Canvas SkyFace(int size, const char* face) {
  Canvas c(size);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      // Pixel centres, so neighbouring faces sample half a pixel either side of the edge.
      float a = 2.0f * (static_cast<float>(x) + 0.5f) / size - 1.0f;
      float b = 2.0f * (static_cast<float>(y) + 0.5f) / size - 1.0f;
      c.At(x, y) = SkyColour(FaceDirection(face, a, b));
    }
  }
  return c;
}

}  // namespace assets
