// The missing- and broken-image report (image_report.h).
#include "image_report.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "image_decoders.h"

namespace platform {
namespace {

std::uint32_t BigEndian32(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
         p[3];
}

// JPEG: marker segments from SOI; after each start of scan the entropy-coded
// data runs to the next marker (0xFF followed by neither 0x00 nor a restart).
std::size_t FindJpegBreak(const std::uint8_t* data, std::size_t size) {
  std::size_t at = 2;
  while (at + 2 <= size) {
    if (data[at] != 0xFF) return at;
    const std::uint8_t marker = data[at + 1];
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    if (marker == 0xD9) return 0;  // end of image
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
      at += 2;
      continue;
    }
    if (at + 4 > size) return size;
    const std::size_t length = (std::size_t{data[at + 2]} << 8) | data[at + 3];
    if (length < 2) return at;
    if (at + 2 + length > size) return at;
    at += 2 + length;
    if (marker == 0xDA) {  // start of scan: skip its entropy-coded data
      while (at + 1 < size && !(data[at] == 0xFF && data[at + 1] != 0x00 &&
                                !(data[at + 1] >= 0xD0 && data[at + 1] <= 0xD7)))
        ++at;
      if (at + 1 >= size) return size;
    }
  }
  return size;
}

// PNG: chunks (length, type, data, CRC) from the signature to IEND.
std::size_t FindPngBreak(const std::uint8_t* data, std::size_t size) {
  std::size_t at = 8;
  while (at + 8 <= size) {
    const std::size_t length = BigEndian32(data + at);
    if (length > size - at - 8 || size - at - 8 - length < 4) return at;
    if (data[at + 4] == 'I' && data[at + 5] == 'E' && data[at + 6] == 'N' && data[at + 7] == 'D')
      return 0;
    at += 12 + length;
  }
  return size;
}

std::string Bytes(std::size_t size) {
  return std::to_string(size) + (size == 1 ? " byte" : " bytes");
}

// A name as one printable line: control characters written as C escapes
// (\n, \t, \x1b...), so that a folder named with a newline or a terminal's
// escape sequence neither splits the report nor reaches the terminal.
std::string Printable(const std::string& text) {
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7F) {
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else {
      char escaped[5];
      std::snprintf(escaped, sizeof(escaped), "\\x%02x", byte);
      out += escaped;
    }
  }
  return out;
}

}  // namespace

std::size_t FindImageBreak(const std::uint8_t* data, std::size_t size) {
  if (data == nullptr) return 0;
  if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF)
    return FindJpegBreak(data, size);
  static const std::uint8_t kPngMagic[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (size >= 8 && std::equal(kPngMagic, kPngMagic + 8, data)) return FindPngBreak(data, size);
  return 0;
}

std::string DescribeImageFailure(ImageError error, const std::uint8_t* data, std::size_t size,
                                 std::uint32_t width, std::uint32_t height) {
  switch (error) {
    case ImageError::None: break;
    case ImageError::FileNotFound: return "no such file";
    case ImageError::NotAFile: return "not a file (a folder or a device)";
    case ImageError::ReadFailed: return "cannot be read (no permission, or an I/O error)";
    case ImageError::FileTooLarge:
      return "too large (over " + Bytes(kMaxImageFileBytes) + " on disk)";
    case ImageError::EmptyFile: return "empty (0 bytes)";
    case ImageError::UnknownFormat: return "not an image (neither JPEG, PNG nor BMP)";
    case ImageError::Unsupported: return "an image in a variant this decoder does not read";
    case ImageError::Corrupt: {
      const std::size_t at = FindImageBreak(data, size);
      if (at == 0) return "broken (the decoder refused its data; " + Bytes(size) + ")";
      if (at == size) return "broken at byte " + std::to_string(at) + ": the file ends early";
      return "broken at byte " + std::to_string(at) + " of " + std::to_string(size);
    }
    case ImageError::DimensionsTooLarge:
      if (width != 0 && height != 0)
        return "too large (" + std::to_string(width) + " x " + std::to_string(height) +
               " pixels, more than the device or loader takes)";
      return "too large (more pixels than the loader takes)";
    case ImageError::OutOfMemory: return "out of memory while decoding";
  }
  return "failed";
}

void ReportImageFailure(const char* path, const std::string& reason) {
  static std::set<std::string> s_reported;
  if (path == nullptr || !s_reported.insert(path).second) return;
  std::string where = "in the folder " + Printable(image_detail::CurrentFolder());
  // Say how a path with Windows backslashes was opened.
  const std::string opened = image_detail::PathAsOpened(path);
  if (opened != path) where = Printable(opened) + " " + where;
  image_detail::WriteReportLine("d3dx9: cannot load \"" + Printable(path) + "\" (" + where +
                                "): " + reason);
}

}  // namespace platform
