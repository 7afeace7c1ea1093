// The layer's word on an image file that D3DX could not load: one line on
// stderr per path (the first failure only), with the path as the program gave
// it, the folder a relative path was looked for in (the current directory),
// and why, in words a user can act on:
//   d3dx9: cannot load "pic/sky/top.jpg" (in the folder /home/me): no such file
//   d3dx9: cannot load "pic\GRASS1.jpg" (pic/GRASS1.jpg in the folder /home/me): empty (0 bytes)
// Shared by every decoder backend: the reason comes from ImageError, the
// byte where a file breaks from the file's own structure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "image_file.h"

namespace platform {

// Where a JPEG or PNG stops being well formed, when its structure tells: the
// offset of the first marker segment or chunk that is malformed or runs past
// the end, or the file's size when the data ends before the image's end
// marker. 0 when the structure is whole or the format has none to walk.
std::size_t FindImageBreak(const std::uint8_t* data, std::size_t size);

// The reason in words: "no such file", "empty (0 bytes)", "not an image
// (neither JPEG, PNG nor BMP)", "broken at byte N", "too large (...)", ...
// `data`/`size` are the file's bytes when they were read (else null/0);
// `width`/`height` the image's size when known.
std::string DescribeImageFailure(ImageError error, const std::uint8_t* data, std::size_t size,
                                 std::uint32_t width, std::uint32_t height);

// Prints the line for `path` unless that path was reported already.
void ReportImageFailure(const char* path, const std::string& reason);

}  // namespace platform
