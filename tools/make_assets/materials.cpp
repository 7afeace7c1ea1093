// Object textures: woods, cloths, metals, cork and stone tiles. All patterns
// are periodic over the image, so every texture tiles without a seam.
#include "patterns.h"

#include <cmath>

namespace assets {

namespace {

// Shade of a woven cloth with `threads` threads each way. Plain weave
// alternates over/under every thread, twill every two (diagonal ribs).
struct WeaveSample {
  float shade;     // multiplier around 1
  bool warpOnTop;  // the vertical thread is the visible one
  int warp, weft;  // thread indices
};

WeaveSample Weave(float u, float v, int threads, bool twill, uint32_t seed) {
  float x = u * threads, y = v * threads;
  int i = Wrap(static_cast<int>(std::floor(x)), threads);
  int j = Wrap(static_cast<int>(std::floor(y)), threads);
  float fx = Fract(x), fy = Fract(y);
  bool warpOnTop = twill ? Wrap(i + j, 4) < 2 : ((i + j) & 1) == 0;
  float across = warpOnTop ? fx : fy;
  float along = warpOnTop ? fy : fx;
  float profile = std::sin(kPi * across);
  float dip = 0.88f + 0.12f * std::sin(kPi * along);
  float slub = warpOnTop ? HashUnit(static_cast<uint32_t>(i), seed)
                         : HashUnit(static_cast<uint32_t>(j), seed, 1);
  return {(0.74f + 0.26f * profile) * dip * (0.95f + 0.1f * slub), warpOnTop, i, j};
}

// Relief shading of a height field h(u, v) lit from the top left. `depth`
// is the height range in pixels. Returns a multiplier around 1.
template <class H>
float Relief(H h, float u, float v, int size, float depth) {
  float e = 1.0f / size;
  float dx = (h(u + e, v) - h(u - e, v)) * 0.5f * depth;
  float dy = (h(u, v + e) - h(u, v - e)) * 0.5f * depth;
  float len = std::sqrt(dx * dx + dy * dy + 1.0f);
  // Light direction (-0.5, -0.5, 0.707): flat ground gives 0.707.
  float lit = (0.5f * dx + 0.5f * dy + 0.707f) / len;
  return lit / 0.707f;
}

Rgb WoodAt(float u, float v, const WoodStyle& s) {
  float w = Fbm(u, v, 2, 3, 4, s.seed);
  float rings = static_cast<float>(s.rings);
  float r;
  if (s.cathedral) {
    // Board sawn off-centre from a log whose axis runs along v: ring radius of
    // each point, with the cut depth rising and falling along the board so the
    // rings show as arches in the middle and straight lines at the sides.
    float across = 1.2f * std::cos(kPi * (u - 0.15f));
    float depth = 0.45f + 0.35f * (0.5f - 0.5f * std::cos(2.0f * kPi * v));
    r = rings * (std::sqrt(across * across + depth * depth) + s.warp * w);
  } else {
    r = rings * (u + s.warp * w + 0.008f * Fbm(u, v, 4, 16, 2, s.seed + 3));
  }
  float t = Fract(r);
  float ringTone =
      HashUnit(static_cast<uint32_t>(Wrap(static_cast<int>(std::floor(r)), 1 << 16)), s.seed);
  float late = std::pow(Smoothstep(0.5f, 1.0f, t), 3.0f) * Smoothstep(1.0f, 0.93f, t);
  float fibre = Fbm(u, v, 96, 2, 3, s.seed + 1);
  float pores = Smoothstep(0.35f, 0.6f, Fbm(u, v, 128, 8, 2, s.seed + 2));
  Rgb c = Mix(s.light, s.dark, 0.55f * late + 0.15f * ringTone + 0.15f * (0.5f + 0.5f * w));
  return c * (1.0f + 0.07f * fibre - 0.1f * pores);
}

}  // namespace

Canvas Wood(int size, const WoodStyle& style) {
  return Render(size, [&](float u, float v) { return WoodAt(u, v, style); });
}

Canvas BurlWood(int size) {
  return Render(size, [](float u, float v) {
    float qx = Fbm(u, v, 3, 4, 101), qy = Fbm(u, v, 3, 4, 102);
    float n = Fbm(u + 0.15f * qx, v + 0.15f * qy, 4, 5, 103);
    Cell eye = Worley(u + 0.02f * qx, v + 0.02f * qy, 9, 0.9f, 104);
    float swirl = 0.5f + 0.5f * std::sin(2.0f * kPi * (7.0f * n + 0.8f / (eye.f1 + 0.3f)));
    Rgb c = Mix(Hex(0xd29a58), Hex(0x7d4724), std::pow(swirl, 1.5f));
    c = Mix(c, Hex(0x9a5c2c), 0.3f * (0.5f + 0.5f * Fbm(u, v, 8, 3, 105)));
    float eyeDark =
        Smoothstep(0.16f, 0.07f, eye.f1 + 0.05f * qx) * (HashUnit(eye.id) < 0.7f ? 1.0f : 0.0f);
    c = Mix(c, Hex(0x3b1e0e), 0.85f * eyeDark);
    return c * (1.0f + 0.05f * Fbm(u, v, 64, 64, 2, 106));
  });
}

Canvas Parquet(int size) {
  const WoodStyle oak{Hex(0xc99a62), Hex(0x8d5f34), 3, 0.1f, false, 201};
  const float px = 1.0f / size;
  return Render(size, [&](float u, float v) {
    constexpr int kBlocks = 4, kPlanks = 4;
    int bi = static_cast<int>(u * kBlocks), bj = static_cast<int>(v * kBlocks);
    float lu = Fract(u * kBlocks), lv = Fract(v * kBlocks);
    bool horizontal = ((bi + bj) & 1) == 0;
    float across = horizontal ? lv : lu, along = horizontal ? lu : lv;
    int k = static_cast<int>(across * kPlanks);
    float inPlank = Fract(across * kPlanks);
    uint32_t h =
        Hash(static_cast<uint32_t>(bi), static_cast<uint32_t>(bj), static_cast<uint32_t>(k), 202);
    Rgb c = WoodAt(inPlank * 0.25f + HashUnit(h, 1), along * 0.3f + HashUnit(h, 2), oak);
    c = c * (0.84f + 0.3f * HashUnit(h, 3));
    // Dark joints between planks and blocks, with a soft shadow next to them.
    float edgeAcross = std::fmin(inPlank, 1.0f - inPlank) / (kPlanks * kBlocks * px);
    float edgeAlong = std::fmin(along, 1.0f - along) / (kBlocks * px);
    float edge = std::fmin(edgeAcross, edgeAlong);
    return c * (0.55f + 0.45f * Smoothstep(0.4f, 2.5f, edge));
  });
}

Canvas Gingham(int size) {
  const Rgb red = Hex(0xc51f2c), white = Hex(0xf8f5ee);
  return Render(size, [&](float u, float v) {
    WeaveSample w = Weave(u, v, 64, false, 301);
    Rgb warp = (w.warp / 8) % 2 == 0 ? red : white;
    Rgb weft = (w.weft / 8) % 2 == 0 ? red : white;
    Rgb top = w.warpOnTop ? warp : weft;
    return Mix(top, (warp + weft) * 0.5f, 0.55f) * w.shade;
  });
}

Canvas Leopard(int size) {
  return Render(size, [](float u, float v) {
    float wx = Fbm(u, v, 6, 3, 401), wy = Fbm(u, v, 6, 3, 402);
    Rgb c = Mix(Hex(0xe0a85a), Hex(0xc27f34), 0.5f + 0.5f * Fbm(u, v, 3, 4, 403));
    Cell rosette = Worley(u + 0.025f * wx, v + 0.025f * wy, 6, 0.7f, 404);
    float d = rosette.f1 + 0.06f * Fbm(u, v, 24, 2, 405);
    float angle = std::atan2(rosette.dy, rosette.dx);
    float gap = std::sin(angle * 3.0f + 6.2f * HashUnit(rosette.id, 7));
    float ring =
        Smoothstep(0.17f, 0.2f, d) * Smoothstep(0.34f, 0.3f, d) * Smoothstep(0.75f, 0.45f, gap);
    c = Mix(c, Hex(0xb0651f), Smoothstep(0.22f, 0.18f, d));  // warm rosette centre
    c = Mix(c, Hex(0x22150b), ring);
    Cell spot = Worley(u + 0.03f * wy, v + 0.03f * wx, 14, 0.8f, 406);
    float spotMask = Smoothstep(0.2f, 0.14f, spot.f1) * Smoothstep(0.3f, 0.38f, d) *
                     (HashUnit(spot.id) < 0.6f ? 1.0f : 0.0f);
    c = Mix(c, Hex(0x2a190c), spotMask);
    return c * (1.0f + 0.06f * Fbm(u, v, 64, 32, 2, 407));  // fur texture
  });
}

Canvas TableCloth(int size) {
  const Rgb linen = Hex(0xf1ece0), blue = Hex(0x2e4f98), gold = Hex(0xe3b94c);
  const float px = 4.0f / size;  // one pixel in motif-cell units
  return Render(size, [&](float u, float v) {
    WeaveSample w = Weave(u, v, 64, false, 501);
    float x = Fract(u * 4.0f) - 0.5f, y = Fract(v * 4.0f) - 0.5f;
    float r = std::sqrt(x * x + y * y), theta = std::atan2(y, x);
    // Five-petal flower in each cell, a small diamond at the cell corners.
    float petal = 0.3f * (0.45f + 0.55f * std::fabs(std::cos(2.5f * theta + kPi / 2.0f)));
    float flower = Smoothstep(petal + px, petal - px, r);
    float heart = Smoothstep(0.075f + px, 0.075f - px, r);
    float corner = std::fabs(0.5f - std::fabs(x)) + std::fabs(0.5f - std::fabs(y));
    float diamond = Smoothstep(0.1f + px, 0.1f - px, corner);
    // Dotted lattice midway between flowers and corners.
    float lattice = std::fmin(std::fabs(std::fabs(x) - 0.5f), std::fabs(std::fabs(y) - 0.5f));
    float dots =
        Smoothstep(1.5f * px, 0.5f * px, lattice) * (Fract((x + y) * 12.0f) < 0.5f ? 1.0f : 0.0f);
    Rgb c = Mix(linen, blue, std::fmax(std::fmax(flower, diamond), 0.7f * dots));
    c = Mix(c, gold, heart);
    return c * w.shade;
  });
}

Canvas WavedDouble(int size) {
  const float stripePx = size / 8.0f;
  return Render(size, [&](float u, float v) {
    float phase = 2.0f * kPi * 2.0f * u;
    float s = v * 8.0f + 0.28f * std::sin(phase) + 0.09f * std::sin(2.0f * phase);
    int band = Wrap(static_cast<int>(std::floor(s)), 2);
    float f = Fract(s);
    Rgb c = band == 0 ? Hex(0x1f3f7a) : Hex(0x3a7cb0);
    c = c * (1.12f - 0.3f * f);                      // each band lit from above, shadowed below
    float dist = std::fmin(f, 1.0f - f) * stripePx;  // pixels to the band edge
    float lines = std::fmax(Smoothstep(1.4f, 0.5f, std::fabs(dist - 2.0f)),
                            Smoothstep(1.4f, 0.5f, std::fabs(dist - 5.5f)));
    c = Mix(c, Hex(0xf2e6c4), lines);
    return c * (1.0f + 0.04f * Fbm(u, v, 32, 32, 2, 601));
  });
}

Canvas CheckerPlate(int size) {
  auto height = [](float u, float v) {
    constexpr int kCells = 8;
    float x = u * kCells, y = v * kCells;
    int i = static_cast<int>(std::floor(x)), j = static_cast<int>(std::floor(y));
    float lx = Fract(x) - 0.5f, ly = Fract(y) - 0.5f;
    bool rising = ((i + j) & 1) != 0;
    float s = (lx + (rising ? -ly : ly)) * 0.7071f;
    float t = ((rising ? -ly : ly) - lx) * 0.7071f;
    float q = 1.0f - (s / 0.36f) * (s / 0.36f) - (t / 0.1f) * (t / 0.1f);
    return q > 0.0f ? std::sqrt(q) : 0.0f;
  };
  return Render(size, [&](float u, float v) {
    float h = height(u, v);
    Rgb c = Mix(Hex(0x7b8188), Hex(0x9aa0a6), 0.5f + 0.5f * Fbm(u, v, 4, 4, 701));
    c = c * (1.0f + 0.05f * Fbm(u, v, 2, 96, 3, 702));  // rolling marks
    c = Mix(c, Hex(0x4d4a45),
            0.25f * Smoothstep(0.2f, 0.6f, Fbm(u, v, 8, 4, 703)) * (1.0f - h));  // grime
    return c * Relief(height, u, v, size, 3.0f) * (1.0f + 0.12f * h);
  });
}

Canvas BrushedAluminium(int size) {
  return Render(size, [](float u, float v) {
    float streak = Fbm(u, v, 2, 128, 3, 801), coarse = Fbm(u, v, 4, 32, 3, 802);
    float sheen = Fbm(u, v, 1, 2, 2, 803);
    Rgb c = Hex(0xc3c7cc) * (1.0f + 0.05f * streak + 0.05f * coarse + 0.07f * sheen);
    return c;
  });
}

Canvas CorrugatedSheet(int size) {
  return Render(size, [](float u, float v) {
    float phase = 2.0f * kPi * 10.0f * u;
    float slope = -std::sin(phase);  // facing the light where the slope is negative
    float shade = 0.86f - 0.14f * slope + 0.1f * std::pow(Clamp(-slope), 8.0f);
    Rgb c = Hex(0xe4e7e5) * shade;
    float grime = Smoothstep(0.0f, 0.7f, Fbm(u, v, 24, 2, 3, 901));  // runs down the ribs
    c = Mix(c, Hex(0x9c968a), 0.35f * grime);
    float rust = Smoothstep(0.35f, 0.55f, Fbm(u, v, 8, 6, 4, 902));
    return Mix(c, Hex(0x9b5a2e), 0.7f * rust);
  });
}

Canvas Cork(int size) {
  return Render(size, [](float u, float v) {
    Cell g = Worley(u, v, 30, 0.9f, 1001);
    float tone = HashUnit(g.id);
    Rgb c = Mix(Hex(0xc89a66), Hex(0x8c5a30), tone * tone);
    c = c * (0.78f + 0.22f * Smoothstep(0.0f, 0.12f, g.f2 - g.f1));  // dark gaps between granules
    Cell pit = Worley(u, v, 44, 0.9f, 1002);
    float pitMask = Smoothstep(0.16f, 0.08f, pit.f1) * (HashUnit(pit.id) < 0.25f ? 1.0f : 0.0f);
    c = Mix(c, Hex(0x4a2b16), 0.8f * pitMask);
    return c * (1.0f + 0.1f * Fbm(u, v, 4, 3, 1003));
  });
}

Canvas StoneTiles(int size) {
  const Rgb palette[4] = {Hex(0xbfae92), Hex(0x9e968a), Hex(0xc6a27c), Hex(0x8f877c)};
  const float tilePx = size / 4.0f;
  return Render(size, [&](float u, float v) {
    int ti = static_cast<int>(u * 4.0f), tj = static_cast<int>(v * 4.0f);
    uint32_t h = Hash(static_cast<uint32_t>(ti), static_cast<uint32_t>(tj), 1101);
    float lx = Fract(u * 4.0f), ly = Fract(v * 4.0f);
    Rgb c = palette[h % 4] * (0.9f + 0.2f * HashUnit(h, 1));
    c = c * (1.0f + 0.12f * Fbm(u, v, 8, 4, 1102));
    float veinField = 3.0f * (u + 0.6f * v) + 1.3f * Fbm(u, v, 3, 5, 1103 + h % 3);
    float vein = Smoothstep(0.08f, 0.0f, std::fabs(std::sin(2.0f * kPi * veinField)));
    c = Mix(c, c * 0.7f, 0.6f * vein);
    // Grout and a slight rounding of each tile's edges (lit from the top left).
    float left = lx * tilePx, right = (1.0f - lx) * tilePx, top = ly * tilePx,
          bottom = (1.0f - ly) * tilePx;
    float edge = std::fmin(std::fmin(left, right), std::fmin(top, bottom));
    c = c * (1.0f + 0.12f * Smoothstep(6.0f, 1.5f, std::fmin(left, top)) -
             0.15f * Smoothstep(6.0f, 1.5f, std::fmin(right, bottom)));
    Rgb grout = Hex(0x6b645b) * (1.0f + 0.15f * Fbm(u, v, 32, 2, 1104));
    return Mix(grout, c, Smoothstep(1.5f, 2.5f, edge));
  });
}

Canvas TealCloth(int size) {
  return Render(size, [](float u, float v) {
    WeaveSample w = Weave(u, v, 64, true, 1201);
    Rgb c = Mix(Hex(0x1b7479), Hex(0x2a9096), 0.5f + 0.5f * Fbm(u, v, 4, 4, 1202));
    if (!w.warpOnTop) c = c * 0.9f;  // weft threads are dyed a little darker
    return c * w.shade;
  });
}

}  // namespace assets
