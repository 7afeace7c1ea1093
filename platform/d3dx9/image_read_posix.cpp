// Reading an image file on Linux and in the browser's file system: regular
// files only, at most kMaxImageFileBytes, never blocking on a FIFO.
#include "image_decoders.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

using image_detail::Fail;

namespace {

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

namespace image_detail {

bool StampFile(const std::string& path, FileStamp* stamp) {
  struct stat st;
  if (stat(PathAsOpened(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  stamp->id = static_cast<std::uint64_t>(st.st_ino) ^ (static_cast<std::uint64_t>(st.st_dev) << 40);
  stamp->size = static_cast<std::uint64_t>(st.st_size);
  stamp->time = static_cast<std::uint64_t>(st.st_mtim.tv_sec) * 1000000000u +
                static_cast<std::uint64_t>(st.st_mtim.tv_nsec);
  return true;
}

std::string CurrentFolder() {
  char folder[4096];
  return getcwd(folder, sizeof(folder)) != nullptr ? folder : "(unknown)";
}

std::string PathAsOpened(const std::string& path) {
  std::string opened = path;
  std::replace(opened.begin(), opened.end(), '\\', '/');
  return opened;
}

void WriteReportLine(const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); }

}  // namespace image_detail

bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>* out, ImageError* error) {
  out->clear();
  const std::string unixPath = image_detail::PathAsOpened(path);
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

}  // namespace platform
