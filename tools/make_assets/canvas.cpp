// Bevel and file writers for Canvas (see canvas.h).
#include "canvas.h"

#include <png.h>
#include <turbojpeg.h>

#include <cmath>
#include <cstdio>

namespace assets {

namespace {

uint8_t ToByte(float v) { return static_cast<uint8_t>(std::lround(Clamp(v) * 255.0f)); }

}  // namespace

void Bevel(Canvas& c, int width, float strength) {
  float w = static_cast<float>(width);
  for (int y = 0; y < c.size; ++y) {
    for (int x = 0; x < c.size; ++x) {
      auto rim = [&](int d) { return Clamp(1.0f - static_cast<float>(d) / w); };
      float k = 1.0f + strength * (rim(y) + 0.5f * rim(x)) -
                strength * (rim(c.size - 1 - y) + 0.5f * rim(c.size - 1 - x));
      c.At(x, y) = c.At(x, y) * k;
    }
  }
}

bool WriteJpeg(const std::string& path, const Canvas& c, int quality) {
  std::vector<uint8_t> rgb(c.colour.size() * 3);
  for (size_t i = 0; i < c.colour.size(); ++i) {
    rgb[3 * i] = ToByte(c.colour[i].r);
    rgb[3 * i + 1] = ToByte(c.colour[i].g);
    rgb[3 * i + 2] = ToByte(c.colour[i].b);
  }
  tjhandle tj = tjInitCompress();
  if (!tj) return false;
  unsigned char* jpeg = nullptr;
  unsigned long jpegSize = 0;
  // 4:4:4 keeps thin coloured lines (gingham, tiles) crisp; baseline by default.
  int rc = tjCompress2(tj, rgb.data(), c.size, 0, c.size, TJPF_RGB, &jpeg, &jpegSize, TJSAMP_444,
                       quality, TJFLAG_ACCURATEDCT);
  bool ok = rc == 0;
  if (ok) {
    FILE* f = std::fopen(path.c_str(), "wb");
    ok = f && std::fwrite(jpeg, 1, jpegSize, f) == jpegSize;
    if (f && std::fclose(f) != 0) ok = false;
  }
  tjFree(jpeg);
  tjDestroy(tj);
  return ok;
}

bool WritePng(const std::string& path, const Canvas& c) {
  std::vector<uint8_t> rgba(c.colour.size() * 4);
  for (size_t i = 0; i < c.colour.size(); ++i) {
    bool clear = c.alpha[i] <= 0.0f;  // keep fully transparent pixels clean black
    rgba[4 * i] = clear ? 0 : ToByte(c.colour[i].r);
    rgba[4 * i + 1] = clear ? 0 : ToByte(c.colour[i].g);
    rgba[4 * i + 2] = clear ? 0 : ToByte(c.colour[i].b);
    rgba[4 * i + 3] = ToByte(c.alpha[i]);
  }
  png_image img{};
  img.version = PNG_IMAGE_VERSION;
  img.width = static_cast<png_uint_32>(c.size);
  img.height = static_cast<png_uint_32>(c.size);
  img.format = PNG_FORMAT_RGBA;  // 8-bit truecolour + alpha
  int ok = png_image_write_to_file(&img, path.c_str(), 0, rgba.data(), 0, nullptr);
  png_image_free(&img);
  return ok != 0;
}

}  // namespace assets
