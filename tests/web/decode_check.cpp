// Decodes every image of the page's list (assets.txt) through the browser
// build's D3DX decoders and hands each one's BGRA pixels to the page
// (Module.decoded[path], null when the decode fails), then sets
// Module.decodeDone; browser_test.py holds them against the native decoders.
#include <emscripten.h>

#include <fstream>
#include <string>
#include <vector>

#include "image_file.h"

int main() {
  std::ifstream list("assets.txt");
  for (std::string path; std::getline(list, path);) {
    if (path.empty()) continue;
    std::vector<std::uint8_t> bytes;
    platform::Image image;
    platform::ImageError error = platform::ImageError::None;
    const bool decoded =
        platform::ReadFileBytes(path, &bytes, &error) &&
        platform::DecodeImageFromMemory(bytes.data(), bytes.size(), 4096, &image, &error);
    // clang-format off
    EM_ASM({ Module.decoded[UTF8ToString($0)] = $1 ? HEAPU8.slice($2, $2 + $3) : null; },
           path.c_str(), decoded, image.pixels.data(), image.pixels.size());
    // clang-format on
  }
  EM_ASM({ Module.decodeDone = true; });
  return 0;
}
