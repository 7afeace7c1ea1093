// Internal interface between image_file.cpp (format sniffing), the file
// reading of each system (image_read_posix.cpp, image_read_windows.cpp) and
// the per-format decoders: image_bmp.cpp everywhere; for JPEG and PNG
// image_jpeg.cpp and image_png.cpp on Linux, web_image_decoders.cpp in the
// browser, wic_image_decoders.cpp on Windows. Each decoder reads from a
// complete in-memory copy of the file.
#pragma once

#include <string>

#include "image_file.h"

namespace platform {
namespace image_detail {

// Fails with DimensionsTooLarge when either side exceeds maxDimension or the
// pixel count exceeds kMaxImagePixels; Corrupt for a zero side.
bool CheckDimensions(std::uint32_t width, std::uint32_t height, std::uint32_t maxDimension,
                     ImageError* error);

bool PngReadInfo(const std::uint8_t* data, std::size_t size, ImageFileInfo* info,
                 ImageError* error);
bool PngDecode(const std::uint8_t* data, std::size_t size, std::uint32_t maxDimension, Image* out,
               ImageError* error);

bool JpegReadInfo(const std::uint8_t* data, std::size_t size, ImageFileInfo* info,
                  ImageError* error);
bool JpegDecode(const std::uint8_t* data, std::size_t size, std::uint32_t maxDimension, Image* out,
                ImageError* error);

bool BmpReadInfo(const std::uint8_t* data, std::size_t size, ImageFileInfo* info,
                 ImageError* error);
bool BmpDecode(const std::uint8_t* data, std::size_t size, std::uint32_t maxDimension, Image* out,
               ImageError* error);

// What each system's file part gives besides reading (image_read_*.cpp).
// A file's identity for the decoded-image cache: false when it is no file.
struct FileStamp {
  std::uint64_t id = 0, size = 0, time = 0;  // inode or file index, bytes, change time (ns)
};
bool StampFile(const std::string& path, FileStamp* stamp);
// The current directory, or "(unknown)".
std::string CurrentFolder();
// The path as the system opens it ('\' between directories on Linux too).
std::string PathAsOpened(const std::string& path);
// Writes one line of the load report (stderr; on Windows also
// OutputDebugStringA, since a GUI program's stderr goes nowhere).
void WriteReportLine(const std::string& line);

inline bool Fail(ImageError* error, ImageError code) {
  if (error) *error = code;
  return false;
}

}  // namespace image_detail
}  // namespace platform
