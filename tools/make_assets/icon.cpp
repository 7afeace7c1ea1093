// The program's icon: a patch of the grass field under the hazy sky, with a
// wooden cube and a two-coloured pyramid standing on it, on a tile with
// rounded corners. Drawn as flat shapes with 4 x 4 samples per pixel, so the
// 16-pixel size stays as clean as the 256-pixel one; and the .ico writer.
#include "patterns.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace assets {
namespace {

struct Point {
  float x, y;  // unit coordinates, y down
};

struct Shape {
  std::vector<Point> corners;  // convex, either winding
  Rgb colour;
};

bool Inside(const Shape& s, Point p) {
  bool left = false, right = false;
  for (size_t i = 0; i < s.corners.size(); ++i) {
    Point a = s.corners[i], b = s.corners[(i + 1) % s.corners.size()];
    float cross = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
    left |= cross > 0;
    right |= cross < 0;
  }
  return !(left && right);
}

// The tile: the unit square with corners rounded to radius 0.18.
bool InTile(Point p) {
  constexpr float r = 0.18f;
  float dx = std::fmax(std::fmax(r - p.x, p.x - (1 - r)), 0.0f);
  float dy = std::fmax(std::fmax(r - p.y, p.y - (1 - r)), 0.0f);
  return dx * dx + dy * dy <= r * r;
}

// Sky above the horizon; below it grass strips that widen towards the
// viewer and fade into the sky's colour far off, as the fog does.
Rgb Background(Point p) {
  constexpr float horizon = 0.52f;
  const Rgb fog = Hex(0xccccff);
  if (p.y < horizon) return Mix(Hex(0x6f9be0), fog, p.y / horizon);
  float t = (p.y - horizon) / (1 - horizon);
  int strip = static_cast<int>(std::sqrt(t) * 6.0f);
  Rgb grass = strip % 2 ? Hex(0x3f8a2e) : Hex(0x57a83c);
  return Mix(fog, grass, Smoothstep(0.0f, 0.35f, t));
}

std::vector<Shape> Shapes() {
  return {
      // The cube, seen from a little above: top, left and right faces.
      {{{0.12f, 0.50f}, {0.33f, 0.42f}, {0.54f, 0.50f}, {0.33f, 0.58f}}, Hex(0xe8b878)},
      {{{0.12f, 0.50f}, {0.33f, 0.58f}, {0.33f, 0.84f}, {0.12f, 0.76f}}, Hex(0xb27a3e)},
      {{{0.33f, 0.58f}, {0.54f, 0.50f}, {0.54f, 0.76f}, {0.33f, 0.84f}}, Hex(0x7c4c22)},
      // The pyramid: two faces meeting at its front edge.
      {{{0.73f, 0.22f}, {0.56f, 0.78f}, {0.77f, 0.86f}}, Hex(0xe0402e)},
      {{{0.73f, 0.22f}, {0.77f, 0.86f}, {0.93f, 0.74f}}, Hex(0xf2c624)},
  };
}

void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

uint8_t ToByte(float v) { return static_cast<uint8_t>(std::lround(Clamp(v) * 255.0f)); }

// One icon image as Windows keeps it: a BITMAPINFOHEADER of twice the height
// (colour and mask), 32-bit BGRA rows bottom-up, then the 1-bit AND mask
// (set where the icon is transparent), rows padded to 32 bits.
std::vector<uint8_t> IconImage(const Canvas& c) {
  const int n = c.size;
  const int maskStride = (n + 31) / 32 * 4;
  std::vector<uint8_t> out;
  PutLe(out, 40, 4);
  PutLe(out, static_cast<uint32_t>(n), 4);
  PutLe(out, static_cast<uint32_t>(2 * n), 4);
  PutLe(out, 1, 2);   // planes
  PutLe(out, 32, 2);  // bits per pixel
  PutLe(out, 0, 4);   // BI_RGB
  PutLe(out, static_cast<uint32_t>(n * n * 4 + maskStride * n), 4);
  for (int i = 0; i < 4; ++i) PutLe(out, 0, 4);  // resolution and palette: unused
  for (int y = n - 1; y >= 0; --y) {
    for (int x = 0; x < n; ++x) {
      size_t i = static_cast<size_t>(y) * n + x;
      bool clear = c.alpha[i] <= 0.0f;
      out.push_back(clear ? 0 : ToByte(c.colour[i].b));
      out.push_back(clear ? 0 : ToByte(c.colour[i].g));
      out.push_back(clear ? 0 : ToByte(c.colour[i].r));
      out.push_back(ToByte(c.alpha[i]));
    }
  }
  for (int y = n - 1; y >= 0; --y) {
    std::vector<uint8_t> row(static_cast<size_t>(maskStride), 0);
    for (int x = 0; x < n; ++x)
      if (c.alpha[static_cast<size_t>(y) * n + x] <= 0.0f) row[x / 8] |= 0x80 >> (x % 8);
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

}  // namespace

Canvas Icon(int size) {
  constexpr int kSamples = 4;
  const std::vector<Shape> shapes = Shapes();
  Canvas c(size);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      Rgb sum;
      int covered = 0;
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          Point p{(x + (sx + 0.5f) / kSamples) / size, (y + (sy + 0.5f) / kSamples) / size};
          if (!InTile(p)) continue;
          Rgb colour = Background(p);
          for (const Shape& s : shapes)
            if (Inside(s, p)) colour = s.colour;
          sum = sum + colour;
          ++covered;
        }
      }
      // Edge pixels keep the colour of their covered part; alpha is the coverage.
      c.At(x, y) = covered > 0 ? sum * (1.0f / covered) : Rgb{};
      c.AlphaAt(x, y) = static_cast<float>(covered) / (kSamples * kSamples);
    }
  }
  return c;
}

bool WriteIco(const std::string& path, const std::vector<Canvas>& sizes) {
  std::vector<uint8_t> directory, images;
  PutLe(directory, 0, 2);  // reserved
  PutLe(directory, 1, 2);  // type: icon
  PutLe(directory, static_cast<uint32_t>(sizes.size()), 2);
  const size_t firstImage = 6 + 16 * sizes.size();
  for (const Canvas& c : sizes) {
    if (c.size < 1 || c.size > 256) return false;
    std::vector<uint8_t> image = IconImage(c);
    directory.push_back(static_cast<uint8_t>(c.size & 0xFF));  // 0 means 256
    directory.push_back(static_cast<uint8_t>(c.size & 0xFF));
    directory.push_back(0);  // no palette
    directory.push_back(0);
    PutLe(directory, 1, 2);   // planes
    PutLe(directory, 32, 2);  // bits per pixel
    PutLe(directory, static_cast<uint32_t>(image.size()), 4);
    PutLe(directory, static_cast<uint32_t>(firstImage + images.size()), 4);
    images.insert(images.end(), image.begin(), image.end());
  }
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(directory.data(), 1, directory.size(), f) == directory.size() &&
            std::fwrite(images.data(), 1, images.size(), f) == images.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace assets
