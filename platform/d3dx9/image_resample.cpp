// Resampling and mip reduction for BGRA pixel buffers (see image_resample.h).
// The tent filter is separable: a horizontal pass into a float buffer, then a
// vertical pass; its radius widens with the shrink factor so that every source
// pixel contributes when reducing. Edges clamp.
#include "image_resample.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace platform {
namespace {

struct Tap {
  std::uint32_t index;
  float weight;
};

// For each destination coordinate, the source taps and their normalised weights.
std::vector<std::vector<Tap>> TentTaps(std::uint32_t srcSize, std::uint32_t dstSize) {
  std::vector<std::vector<Tap>> taps(dstSize);
  const double ratio = static_cast<double>(srcSize) / dstSize;
  const double radius = std::max(1.0, ratio);
  for (std::uint32_t d = 0; d < dstSize; ++d) {
    const double centre = (d + 0.5) * ratio - 0.5;
    const long first = static_cast<long>(std::floor(centre - radius)) + 1;
    const long last = static_cast<long>(std::ceil(centre + radius)) - 1;
    double total = 0.0;
    for (long s = first; s <= last; ++s) {
      const double w = 1.0 - std::fabs(s - centre) / radius;
      if (w <= 0.0) continue;
      const long clamped = std::clamp<long>(s, 0, static_cast<long>(srcSize) - 1);
      taps[d].push_back({static_cast<std::uint32_t>(clamped), static_cast<float>(w)});
      total += w;
    }
    if (taps[d].empty()) {  // cannot happen for radius >= 1; keep a safe fallback
      const long nearest = std::clamp<long>(std::lround(centre), 0, static_cast<long>(srcSize) - 1);
      taps[d].push_back({static_cast<std::uint32_t>(nearest), 1.0f});
      total = 1.0;
    }
    for (Tap& tap : taps[d]) tap.weight = static_cast<float>(tap.weight / total);
  }
  return taps;
}

std::uint8_t ToByte(float value) {
  return static_cast<std::uint8_t>(std::clamp(value + 0.5f, 0.0f, 255.0f));
}

PixelBuffer ResampleTent(const PixelBuffer& src, std::uint32_t width, std::uint32_t height) {
  const auto xTaps = TentTaps(src.width, width);
  const auto yTaps = TentTaps(src.height, height);

  // Horizontal pass: src.height rows of `width` pixels.
  std::vector<float> rows(static_cast<std::size_t>(width) * src.height * 4);
  for (std::uint32_t y = 0; y < src.height; ++y) {
    const std::uint8_t* srcRow = src.bgra.data() + static_cast<std::size_t>(y) * src.width * 4;
    float* out = rows.data() + static_cast<std::size_t>(y) * width * 4;
    for (std::uint32_t x = 0; x < width; ++x, out += 4) {
      float acc[4] = {0, 0, 0, 0};
      for (const Tap& tap : xTaps[x])
        for (int c = 0; c < 4; ++c) acc[c] += tap.weight * srcRow[tap.index * 4 + c];
      std::memcpy(out, acc, sizeof(acc));
    }
  }

  PixelBuffer dst;
  dst.width = width;
  dst.height = height;
  dst.bgra.resize(static_cast<std::size_t>(width) * height * 4);
  for (std::uint32_t y = 0; y < height; ++y) {
    std::uint8_t* out = dst.bgra.data() + static_cast<std::size_t>(y) * width * 4;
    for (std::uint32_t x = 0; x < width; ++x, out += 4) {
      float acc[4] = {0, 0, 0, 0};
      for (const Tap& tap : yTaps[y]) {
        const float* in = rows.data() + (static_cast<std::size_t>(tap.index) * width + x) * 4;
        for (int c = 0; c < 4; ++c) acc[c] += tap.weight * in[c];
      }
      for (int c = 0; c < 4; ++c) out[c] = ToByte(acc[c]);
    }
  }
  return dst;
}

PixelBuffer ResamplePoint(const PixelBuffer& src, std::uint32_t width, std::uint32_t height) {
  PixelBuffer dst;
  dst.width = width;
  dst.height = height;
  dst.bgra.resize(static_cast<std::size_t>(width) * height * 4);
  for (std::uint32_t y = 0; y < height; ++y) {
    const std::uint32_t sy = static_cast<std::uint32_t>((static_cast<std::uint64_t>(y) * 2 + 1) *
                                                        src.height / (2ull * height));
    for (std::uint32_t x = 0; x < width; ++x) {
      const std::uint32_t sx = static_cast<std::uint32_t>((static_cast<std::uint64_t>(x) * 2 + 1) *
                                                          src.width / (2ull * width));
      std::memcpy(&dst.bgra[(static_cast<std::size_t>(y) * width + x) * 4],
                  &src.bgra[(static_cast<std::size_t>(sy) * src.width + sx) * 4], 4);
    }
  }
  return dst;
}

PixelBuffer CopyUnscaled(const PixelBuffer& src, std::uint32_t width, std::uint32_t height) {
  PixelBuffer dst;
  dst.width = width;
  dst.height = height;
  dst.bgra.assign(static_cast<std::size_t>(width) * height * 4, 0);
  const std::uint32_t copyWidth = std::min(width, src.width);
  const std::uint32_t copyHeight = std::min(height, src.height);
  for (std::uint32_t y = 0; y < copyHeight; ++y)
    std::memcpy(&dst.bgra[static_cast<std::size_t>(y) * width * 4],
                &src.bgra[static_cast<std::size_t>(y) * src.width * 4],
                static_cast<std::size_t>(copyWidth) * 4);
  return dst;
}

}  // namespace

PixelBuffer Resample(PixelBuffer source, std::uint32_t width, std::uint32_t height,
                     ResampleFilter filter) {
  if (width == source.width && height == source.height) return source;
  if (source.width == 0 || source.height == 0 || width == 0 || height == 0) {
    PixelBuffer empty;
    empty.width = width;
    empty.height = height;
    empty.bgra.assign(static_cast<std::size_t>(width) * height * 4, 0);
    return empty;
  }
  switch (filter) {
    case ResampleFilter::None: return CopyUnscaled(source, width, height);
    case ResampleFilter::Point: return ResamplePoint(source, width, height);
    case ResampleFilter::Tent: break;
  }
  return ResampleTent(source, width, height);
}

PixelBuffer HalveForMip(const PixelBuffer& src, bool point) {
  PixelBuffer dst;
  dst.width = std::max(1u, src.width / 2);
  dst.height = std::max(1u, src.height / 2);
  dst.bgra.resize(static_cast<std::size_t>(dst.width) * dst.height * 4);
  // A side that is already 1 (or odd at 1) does not halve: sample it once.
  const std::uint32_t xStep = src.width > 1 ? 2 : 1;
  const std::uint32_t yStep = src.height > 1 ? 2 : 1;
  for (std::uint32_t y = 0; y < dst.height; ++y) {
    for (std::uint32_t x = 0; x < dst.width; ++x) {
      const std::uint32_t sx = x * xStep, sy = y * yStep;
      std::uint8_t* out = &dst.bgra[(static_cast<std::size_t>(y) * dst.width + x) * 4];
      const std::uint8_t* p00 = &src.bgra[(static_cast<std::size_t>(sy) * src.width + sx) * 4];
      if (point) {
        std::memcpy(out, p00, 4);
        continue;
      }
      const std::uint8_t* p01 = p00 + (xStep - 1) * 4;
      const std::uint8_t* p10 = p00 + static_cast<std::size_t>(yStep - 1) * src.width * 4;
      const std::uint8_t* p11 = p10 + (xStep - 1) * 4;
      for (int c = 0; c < 4; ++c)
        out[c] = static_cast<std::uint8_t>((p00[c] + p01[c] + p10[c] + p11[c] + 2) / 4);
    }
  }
  return dst;
}

void ApplyColorKey(PixelBuffer* image, std::uint32_t colorKey) {
  for (std::size_t i = 0; i + 4 <= image->bgra.size(); i += 4) {
    std::uint8_t* p = &image->bgra[i];
    const std::uint32_t argb =
        static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
        (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
    if (argb == colorKey) std::memset(p, 0, 4);
  }
}

void ForceOpaque(PixelBuffer* image) {
  for (std::size_t i = 3; i < image->bgra.size(); i += 4) image->bgra[i] = 0xFF;
}

}  // namespace platform
