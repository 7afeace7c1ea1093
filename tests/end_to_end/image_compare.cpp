// Compares two PNG images of the same size, channel by channel (RGB):
// prints the mean absolute difference per channel and the share of pixels
// whose channels all lie within a tolerance; exits 0 when both are within
// the limits given.
// usage: image_compare A.png B.png MAX_MEAN TOLERANCE MIN_SHARE
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

bool Load(const char* path, std::vector<unsigned char>* rgb, unsigned* width, unsigned* height) {
  png_image image;
  memset(&image, 0, sizeof(image));
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path)) {
    fprintf(stderr, "image_compare: %s: %s\n", path, image.message);
    return false;
  }
  image.format = PNG_FORMAT_RGB;
  rgb->resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb->data(), 0, nullptr)) {
    fprintf(stderr, "image_compare: %s: %s\n", path, image.message);
    return false;
  }
  *width = image.width;
  *height = image.height;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6) {
    fprintf(stderr, "usage: image_compare A.png B.png MAX_MEAN TOLERANCE MIN_SHARE\n");
    return 2;
  }
  std::vector<unsigned char> a, b;
  unsigned wa = 0, ha = 0, wb = 0, hb = 0;
  if (!Load(argv[1], &a, &wa, &ha) || !Load(argv[2], &b, &wb, &hb)) return 2;
  if (wa != wb || ha != hb) {
    fprintf(stderr, "image_compare: sizes differ: %ux%u and %ux%u\n", wa, ha, wb, hb);
    return 1;
  }
  const double maxMean = atof(argv[3]);
  const int tolerance = atoi(argv[4]);
  const double minShare = atof(argv[5]);
  double sum[3] = {0, 0, 0};
  size_t within = 0;
  const size_t pixels = size_t(wa) * ha;
  for (size_t i = 0; i < pixels; ++i) {
    bool close = true;
    for (int c = 0; c < 3; ++c) {
      int d = abs(int(a[i * 3 + c]) - int(b[i * 3 + c]));
      sum[c] += d;
      if (d > tolerance) close = false;
    }
    if (close) ++within;
  }
  double mean[3];
  for (int c = 0; c < 3; ++c) mean[c] = sum[c] / double(pixels);
  double share = double(within) / double(pixels);
  printf("mean abs diff R %.3f G %.3f B %.3f; within %d: %.4f of %zu pixels\n", mean[0], mean[1],
         mean[2], tolerance, share, pixels);
  bool ok = mean[0] <= maxMean && mean[1] <= maxMean && mean[2] <= maxMean && share >= minShare;
  return ok ? 0 : 1;
}
