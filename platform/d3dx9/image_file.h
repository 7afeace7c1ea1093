// Image file decoding for the D3DX layer: JPEG and PNG (libturbojpeg and
// libpng on Linux, the browser's decoder and stb_image in the page, WIC on
// Windows) and uncompressed BMP (parsed here). Knows nothing of Direct3D or
// OpenGL.
//
// Output is always 32-bit BGRA (memory order B,G,R,A, i.e. a little-endian
// 0xAARRGGBB DWORD), top row first. The format is detected from the file's
// content, never from its extension. Every failure (missing file, directory,
// empty, not an image, truncated, corrupt, dimensions over the caller's limit)
// is reported as an ImageError; headers are checked before any pixel buffer is
// allocated, and files over kMaxImageFileBytes are refused without reading them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

enum class ImageFormat { Unknown, Jpeg, Png, Bmp };

enum class ImageError {
  None,
  FileNotFound,        // no such path
  NotAFile,            // a directory or other non-regular file
  ReadFailed,          // open/read error (permissions, I/O)
  FileTooLarge,        // more than kMaxImageFileBytes
  EmptyFile,           // zero bytes
  UnknownFormat,       // not a JPEG, PNG or BMP
  Unsupported,         // a recognised format in a variant we do not decode
  Corrupt,             // truncated or malformed data
  DimensionsTooLarge,  // width or height over the caller's limit
  OutOfMemory,
};

// Largest file we are willing to read into memory.
constexpr std::size_t kMaxImageFileBytes = 64u * 1024u * 1024u;
// Hard ceiling on decoded size regardless of the caller's maxDimension.
constexpr std::uint64_t kMaxImagePixels = 8192ull * 8192ull;

struct ImageFileInfo {
  ImageFormat format = ImageFormat::Unknown;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  bool hasAlpha = false;  // the file carries an alpha channel (or PNG tRNS)
};

struct Image {
  ImageFileInfo info;
  std::vector<std::uint8_t> pixels;  // width * height * 4 bytes, BGRA, top row first
};

const char* ImageErrorName(ImageError error);

// Reads a whole file (at most kMaxImageFileBytes). Backslashes in the path count
// as directory separators; relative paths are relative to the current directory.
bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>* out, ImageError* error);

// Header only: format, size and whether the image has alpha. No pixel allocation.
bool ReadImageInfoFromMemory(const std::uint8_t* data, std::size_t size, ImageFileInfo* info,
                             ImageError* error);
bool ReadImageFileInfo(const std::string& path, ImageFileInfo* info, ImageError* error);

// Full decode to BGRA. Fails with DimensionsTooLarge, before allocating pixels,
// when width or height exceeds maxDimension (or the image exceeds kMaxImagePixels).
bool DecodeImageFromMemory(const std::uint8_t* data, std::size_t size, std::uint32_t maxDimension,
                           Image* out, ImageError* error);
bool DecodeImageFile(const std::string& path, std::uint32_t maxDimension, Image* out,
                     ImageError* error);

}  // namespace platform
