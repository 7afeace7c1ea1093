// Image format dispatch: sniffs the format from the file's magic bytes and
// hands the bytes to the matching decoder. Reading the file is the system's
// part (image_read_posix.cpp, image_read_windows.cpp).
#include "image_file.h"

#include "image_decoders.h"

#include <cstring>
#include <new>

namespace platform {

using image_detail::Fail;

namespace {

ImageFormat SniffFormat(const std::uint8_t* data, std::size_t size) {
  static const std::uint8_t kPngMagic[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (size >= sizeof(kPngMagic) && std::memcmp(data, kPngMagic, sizeof(kPngMagic)) == 0)
    return ImageFormat::Png;
  if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) return ImageFormat::Jpeg;
  if (size >= 2 && data[0] == 'B' && data[1] == 'M') return ImageFormat::Bmp;
  return ImageFormat::Unknown;
}

}  // namespace

const char* ImageErrorName(ImageError error) {
  switch (error) {
    case ImageError::None: return "None";
    case ImageError::FileNotFound: return "FileNotFound";
    case ImageError::NotAFile: return "NotAFile";
    case ImageError::ReadFailed: return "ReadFailed";
    case ImageError::FileTooLarge: return "FileTooLarge";
    case ImageError::EmptyFile: return "EmptyFile";
    case ImageError::UnknownFormat: return "UnknownFormat";
    case ImageError::Unsupported: return "Unsupported";
    case ImageError::Corrupt: return "Corrupt";
    case ImageError::DimensionsTooLarge: return "DimensionsTooLarge";
    case ImageError::OutOfMemory: return "OutOfMemory";
  }
  return "?";
}

bool image_detail::CheckDimensions(std::uint32_t width, std::uint32_t height,
                                   std::uint32_t maxDimension, ImageError* error) {
  if (width == 0 || height == 0) return Fail(error, ImageError::Corrupt);
  if (width > maxDimension || height > maxDimension)
    return Fail(error, ImageError::DimensionsTooLarge);
  if (static_cast<std::uint64_t>(width) * height > kMaxImagePixels)
    return Fail(error, ImageError::DimensionsTooLarge);
  return true;
}

bool ReadImageInfoFromMemory(const std::uint8_t* data, std::size_t size, ImageFileInfo* info,
                             ImageError* error) {
  *info = ImageFileInfo();
  if (!data || size == 0) return Fail(error, ImageError::EmptyFile);
  bool ok = false;
  switch (SniffFormat(data, size)) {
    case ImageFormat::Png: ok = image_detail::PngReadInfo(data, size, info, error); break;
    case ImageFormat::Jpeg: ok = image_detail::JpegReadInfo(data, size, info, error); break;
    case ImageFormat::Bmp: ok = image_detail::BmpReadInfo(data, size, info, error); break;
    case ImageFormat::Unknown: return Fail(error, ImageError::UnknownFormat);
  }
  if (!ok) {
    *info = ImageFileInfo();
    return false;
  }
  if (error) *error = ImageError::None;
  return true;
}

bool ReadImageFileInfo(const std::string& path, ImageFileInfo* info, ImageError* error) {
  *info = ImageFileInfo();
  std::vector<std::uint8_t> bytes;
  if (!ReadFileBytes(path, &bytes, error)) return false;
  return ReadImageInfoFromMemory(bytes.data(), bytes.size(), info, error);
}

bool DecodeImageFromMemory(const std::uint8_t* data, std::size_t size, std::uint32_t maxDimension,
                           Image* out, ImageError* error) {
  out->info = ImageFileInfo();
  out->pixels.clear();
  if (!data || size == 0) return Fail(error, ImageError::EmptyFile);
  bool ok = false;
  try {
    switch (SniffFormat(data, size)) {
      case ImageFormat::Png:
        ok = image_detail::PngDecode(data, size, maxDimension, out, error);
        break;
      case ImageFormat::Jpeg:
        ok = image_detail::JpegDecode(data, size, maxDimension, out, error);
        break;
      case ImageFormat::Bmp:
        ok = image_detail::BmpDecode(data, size, maxDimension, out, error);
        break;
      case ImageFormat::Unknown: return Fail(error, ImageError::UnknownFormat);
    }
  } catch (const std::bad_alloc&) {
    ok = Fail(error, ImageError::OutOfMemory);
  }
  if (!ok) {
    out->info = ImageFileInfo();
    out->pixels.clear();
    out->pixels.shrink_to_fit();
    return false;
  }
  if (error) *error = ImageError::None;
  return true;
}

bool DecodeImageFile(const std::string& path, std::uint32_t maxDimension, Image* out,
                     ImageError* error) {
  out->info = ImageFileInfo();
  out->pixels.clear();
  std::vector<std::uint8_t> bytes;
  if (!ReadFileBytes(path, &bytes, error)) return false;
  return DecodeImageFromMemory(bytes.data(), bytes.size(), maxDimension, out, error);
}

}  // namespace platform
