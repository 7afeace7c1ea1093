// Holds the browser build's decoded images against the native decoders.
// usage: decode_compare WEB_DIR DECODED_DIR
// For every image in WEB_DIR/assets.txt: decodes WEB_DIR/<path> natively and
// reads DECODED_DIR/<path>.bgra (what the page's decoders gave); prints each
// image's largest channel difference and exits 0 when all are within 2.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "image_file.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: decode_compare WEB_DIR DECODED_DIR\n");
    return 2;
  }
  const std::string web = argv[1];
  const std::string decoded = argv[2];
  std::ifstream list(web + "/assets.txt");
  int images = 0;
  int failed = 0;
  for (std::string path; std::getline(list, path);) {
    if (path.empty()) continue;
    ++images;
    platform::Image native;
    platform::ImageError error = platform::ImageError::None;
    if (!platform::DecodeImageFile(web + "/" + path, 4096, &native, &error)) {
      std::printf("%s: no native decode (%s)\n", path.c_str(), platform::ImageErrorName(error));
      ++failed;
      continue;
    }
    std::ifstream file(decoded + "/" + path + ".bgra", std::ios::binary);
    const std::vector<unsigned char> page((std::istreambuf_iterator<char>(file)),
                                          std::istreambuf_iterator<char>());
    if (page.size() != native.pixels.size()) {
      std::printf("%s: %zu bytes from the page, %zu natively\n", path.c_str(), page.size(),
                  native.pixels.size());
      ++failed;
      continue;
    }
    int worst = 0;
    for (size_t i = 0; i < page.size(); ++i) {
      const int difference = std::abs(int{page[i]} - int{native.pixels[i]});
      if (difference > worst) worst = difference;
    }
    std::printf("%s: %ux%u, largest difference %d\n", path.c_str(), native.info.width,
                native.info.height, worst);
    if (worst > 2) ++failed;
  }
  std::printf("%d images, %d off by more than 2 or unreadable\n", images, failed);
  return images > 0 && failed == 0 ? 0 : 1;
}
