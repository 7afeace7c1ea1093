// Image file access and format dispatch: reads a file into memory (bounded by
// kMaxImageFileBytes, regular files only, never blocking on FIFOs), sniffs the
// format from its magic bytes and hands the bytes to the matching decoder.
#include "image_file.h"

#include "image_decoders.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : m_fd(fd) {}
  ~FileDescriptor() {
    if (m_fd >= 0) close(m_fd);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int Get() const { return m_fd; }

 private:
  int m_fd;
};

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

bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>* out, ImageError* error) {
  out->clear();
  std::string unixPath = path;
  std::replace(unixPath.begin(), unixPath.end(), '\\', '/');
  if (unixPath.empty()) return Fail(error, ImageError::FileNotFound);

  // O_NONBLOCK so that a FIFO or device node cannot stall us before the
  // regular-file check below.
  FileDescriptor fd(open(unixPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.Get() < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return Fail(error, ImageError::FileNotFound);
    if (errno == EISDIR) return Fail(error, ImageError::NotAFile);
    return Fail(error, ImageError::ReadFailed);
  }
  struct stat st;
  if (fstat(fd.Get(), &st) != 0) return Fail(error, ImageError::ReadFailed);
  if (!S_ISREG(st.st_mode)) return Fail(error, ImageError::NotAFile);
  if (st.st_size == 0) return Fail(error, ImageError::EmptyFile);
  if (static_cast<std::uint64_t>(st.st_size) > kMaxImageFileBytes)
    return Fail(error, ImageError::FileTooLarge);

  try {
    out->resize(static_cast<std::size_t>(st.st_size));
  } catch (const std::bad_alloc&) {
    return Fail(error, ImageError::OutOfMemory);
  }
  std::size_t total = 0;
  while (total < out->size()) {
    ssize_t got = read(fd.Get(), out->data() + total, out->size() - total);
    if (got < 0) {
      if (errno == EINTR) continue;
      out->clear();
      return Fail(error, ImageError::ReadFailed);
    }
    if (got == 0) break;  // file shrank while we read it
    total += static_cast<std::size_t>(got);
  }
  out->resize(total);
  if (total == 0) return Fail(error, ImageError::EmptyFile);
  if (error) *error = ImageError::None;
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
