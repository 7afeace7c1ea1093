// File helpers for tests that load images the way the program does: a scratch
// working directory (the program's texture paths are relative to it) and a
// small PNG writer on libpng. The D3DX loader detects the format by content,
// so a PNG saved under a ".jpg" name loads fine. Tests that include this
// header link PkgConfig::PNG.
#pragma once

#include <png.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace test_files {

// Writes 8-bit RGBA rows (top row first, tightly packed) as a PNG. Parent
// folders are created. False when the file cannot be written.
inline bool WritePngRgba(const std::string& path, int width, int height,
                         const std::vector<std::uint8_t>& rgba) {
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  if (!parent.empty()) std::filesystem::create_directories(parent);
  png_image image;
  std::memset(&image, 0, sizeof(image));
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGBA;
  const int ok = png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), 0, nullptr);
  png_image_free(&image);
  return ok != 0;
}

// Writes 0xAARRGGBB pixels (top row first) as an RGB PNG, or as RGBA when
// withAlpha is set.
inline bool WritePngArgb(const std::string& path, int width, int height,
                         const std::vector<std::uint32_t>& argb, bool withAlpha = false) {
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  if (!parent.empty()) std::filesystem::create_directories(parent);
  const int channels = withAlpha ? 4 : 3;
  std::vector<std::uint8_t> bytes;
  bytes.reserve(argb.size() * channels);
  for (std::uint32_t p : argb) {
    bytes.push_back(std::uint8_t(p >> 16));
    bytes.push_back(std::uint8_t(p >> 8));
    bytes.push_back(std::uint8_t(p));
    if (withAlpha) bytes.push_back(std::uint8_t(p >> 24));
  }
  png_image image;
  std::memset(&image, 0, sizeof(image));
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = withAlpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  const int ok = png_image_write_to_file(&image, path.c_str(), 0, bytes.data(), 0, nullptr);
  png_image_free(&image);
  return ok != 0;
}

// A single-colour image.
inline bool WriteSolidPng(const std::string& path, int width, int height,
                          std::uint32_t argb = 0xFF808080u) {
  return WritePngArgb(path, width, height,
                      std::vector<std::uint32_t>(std::size_t(width) * height, argb));
}

// A fresh directory under /tmp that is the process's working directory for
// the object's lifetime; the previous one is restored and the directory
// removed afterwards.
class ScratchWorkDir {
 public:
  ScratchWorkDir() {
    char pattern[] = "/tmp/ef_test_XXXXXX";
    const char* made = mkdtemp(pattern);
    if (made == nullptr) return;
    m_path = made;
    m_previous = std::filesystem::current_path();
    m_entered = chdir(m_path.c_str()) == 0;
  }
  ~ScratchWorkDir() {
    if (!m_previous.empty()) {
      if (chdir(m_previous.c_str()) != 0) {
        // Nothing sensible to do in a destructor; the removal still runs.
      }
    }
    if (!m_path.empty()) {
      std::error_code ignored;
      std::filesystem::remove_all(m_path, ignored);
    }
  }
  ScratchWorkDir(const ScratchWorkDir&) = delete;
  ScratchWorkDir& operator=(const ScratchWorkDir&) = delete;

  bool Entered() const { return m_entered; }
  const std::string& Path() const { return m_path; }

 private:
  std::string m_path;
  std::string m_previous;
  bool m_entered = false;
};

}  // namespace test_files
