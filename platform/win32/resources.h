// Resources of the executable: the Linux side of what windres links into the
// Windows executable. The build embeds each resource file as bytes in a
// source file of the executable itself (cmake/embed_icon.cmake); a static
// IconResource there registers it before main runs, and LoadIconA finds it.
// Limits: icon resources only (RT_GROUP_ICON); ids are integers.
#pragma once

#include <cstddef>

namespace platform {

// Makes the bytes of a .ico file icon resource `id` of this executable. The
// bytes must outlive the process's last LoadIconA; a second registration of
// an id replaces the first for icons not yet loaded.
void RegisterIconResource(int id, const unsigned char* ico, size_t size);

struct IconResource {
  IconResource(int id, const unsigned char* ico, size_t size) {
    RegisterIconResource(id, ico, size);
  }
};

}  // namespace platform
