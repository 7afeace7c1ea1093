// LoadIconA: icon resources of the executable (registered through
// resources.h) as SDL surfaces; CreateWindowExA puts its class's icon on the
// SDL window through SurfaceFromIcon.
// Limits: the image nearest 32 pixels is taken (SM_CXICON; Windows would load
// hIconSm at 16), system icons (a null instance, IDI_*) are not there and
// give NULL, as does every id without a resource. Loaded icons are shared and
// live until the process ends, like Windows' LoadIcon icons.
#include <cstdio>
#include <memory>
#include <vector>

#include "win32/icon_file.h"
#include "win32/resources.h"
#include "win32/win32_internal.h"

namespace platform {
namespace {

constexpr int kIconSize = 32;  // GetSystemMetrics(SM_CXICON) on Windows

struct IconRecord {
  int m_id = 0;
  const unsigned char* m_ico = nullptr;
  size_t m_size = 0;
  SDL_Surface* m_surface = nullptr;  // made by the first LoadIconA
};

std::vector<std::unique_ptr<IconRecord>>& Icons() {
  static auto* icons = new std::vector<std::unique_ptr<IconRecord>>;
  return *icons;
}

IconRecord* FindIcon(int id) {
  for (auto& icon : Icons())
    if (icon->m_id == id) return icon.get();
  return nullptr;
}

SDL_Surface* SurfaceFromIco(const unsigned char* ico, size_t size) {
  IconImage image;
  if (!IconImageFromIco(ico, size, kIconSize, &image)) return nullptr;
  SDL_Surface* surface =
      SDL_CreateRGBSurfaceWithFormat(0, image.m_width, image.m_height, 32, SDL_PIXELFORMAT_BGRA32);
  if (surface == nullptr) return nullptr;
  const size_t rowBytes = static_cast<size_t>(image.m_width) * 4;
  for (int y = 0; y < image.m_height; ++y)
    SDL_memcpy(static_cast<Uint8*>(surface->pixels) + static_cast<size_t>(surface->pitch) * y,
               image.m_bgra.data() + rowBytes * y, rowBytes);
  return surface;
}

}  // namespace

void RegisterIconResource(int id, const unsigned char* ico, size_t size) {
  IconRecord* icon = FindIcon(id);
  if (icon == nullptr) {
    Icons().push_back(std::make_unique<IconRecord>());
    icon = Icons().back().get();
    icon->m_id = id;
  }
  if (icon->m_surface != nullptr) return;  // handed out already: stays as it is
  icon->m_ico = ico;
  icon->m_size = size;
}

SDL_Surface* SurfaceFromIcon(HICON icon) {
  for (auto& record : Icons())
    if (reinterpret_cast<HICON>(record.get()) == icon) return record->m_surface;
  return nullptr;
}

}  // namespace platform

using namespace platform;

HICON WINAPI LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName) {
  // Only this executable's own resources, asked for by number.
  if (hInstance == nullptr || hInstance != GetModuleHandleA(nullptr)) return nullptr;
  const uintptr_t id = reinterpret_cast<uintptr_t>(lpIconName);
  if (id == 0 || id >= 0x10000) return nullptr;
  IconRecord* icon = FindIcon(static_cast<int>(id));
  if (icon == nullptr) return nullptr;  // ERROR_RESOURCE_NAME_NOT_FOUND
  if (icon->m_surface == nullptr) {
    icon->m_surface = SurfaceFromIco(icon->m_ico, icon->m_size);
    if (icon->m_surface == nullptr) {
      std::fprintf(stderr, "LoadIconA: icon resource %d is not an icon we can read\n",
                   static_cast<int>(id));
      return nullptr;
    }
  }
  return reinterpret_cast<HICON>(icon);
}
