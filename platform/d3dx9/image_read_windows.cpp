// Reading an image file on Windows: regular files only (a directory, a pipe
// or a device is NotAFile), at most kMaxImageFileBytes. Windows takes '/' and
// '\' alike between directories, so the path is passed on as it is.
#include <windows.h>

#include "image_decoders.h"

#include <cstdio>
#include <new>

namespace platform {

using image_detail::Fail;

namespace {

class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : m_handle(handle) {}
  ~FileHandle() {
    if (m_handle != INVALID_HANDLE_VALUE) CloseHandle(m_handle);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  HANDLE Get() const { return m_handle; }

 private:
  HANDLE m_handle;
};

ImageError OpenError(const std::string& path) {
  const DWORD code = GetLastError();
  if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND || code == ERROR_INVALID_NAME ||
      code == ERROR_BAD_NETPATH)
    return ImageError::FileNotFound;
  // Opening a directory as a file is refused with "access denied".
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return ImageError::NotAFile;
  return ImageError::ReadFailed;
}

}  // namespace

namespace image_detail {

// The cache never keeps anything on Windows (decoded_cache_none.cpp);
// the stamp is here for the shared code all the same.
bool StampFile(const std::string& path, FileStamp* stamp) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return false;
  stamp->id = 0;
  stamp->size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
  stamp->time = (std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) |
                data.ftLastWriteTime.dwLowDateTime;
  return true;
}

std::string CurrentFolder() {
  char folder[MAX_PATH];
  const DWORD length = GetCurrentDirectoryA(sizeof(folder), folder);
  return length > 0 && length < sizeof(folder) ? std::string(folder, length) : "(unknown)";
}

std::string PathAsOpened(const std::string& path) { return path; }

// A double-clicked program has no stderr: the same line goes to a debugger
// or a debug-output viewer too.
void WriteReportLine(const std::string& line) {
  std::fprintf(stderr, "%s\n", line.c_str());
  OutputDebugStringA((line + "\n").c_str());
}

}  // namespace image_detail

bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>* out, ImageError* error) {
  out->clear();
  if (path.empty()) return Fail(error, ImageError::FileNotFound);
  FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.Get() == INVALID_HANDLE_VALUE) return Fail(error, OpenError(path));
  if (GetFileType(file.Get()) != FILE_TYPE_DISK) return Fail(error, ImageError::NotAFile);
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.Get(), &size)) return Fail(error, ImageError::ReadFailed);
  if (size.QuadPart == 0) return Fail(error, ImageError::EmptyFile);
  if (static_cast<std::uint64_t>(size.QuadPart) > kMaxImageFileBytes)
    return Fail(error, ImageError::FileTooLarge);

  try {
    out->resize(static_cast<std::size_t>(size.QuadPart));
  } catch (const std::bad_alloc&) {
    return Fail(error, ImageError::OutOfMemory);
  }
  std::size_t total = 0;
  while (total < out->size()) {
    DWORD got = 0;
    if (!ReadFile(file.Get(), out->data() + total, static_cast<DWORD>(out->size() - total), &got,
                  nullptr)) {
      out->clear();
      return Fail(error, ImageError::ReadFailed);
    }
    if (got == 0) break;  // the file shrank while we read it
    total += got;
  }
  out->resize(total);
  if (total == 0) return Fail(error, ImageError::EmptyFile);
  if (error) *error = ImageError::None;
  return true;
}

}  // namespace platform
