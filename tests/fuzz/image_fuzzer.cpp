// libFuzzer target over the D3DX layer's image path. Every input is decoded
// from memory (header read, then a full decode capped at kMaxDimension) and the
// two results are checked against each other. Inputs that decode, and a fixed
// share of those that do not (picked by a hash of the bytes, so a saved crash
// replays the same way), also go through the file path: the input is written
// to one scratch file and read back by ReadImageFileInfo, DecodeImageFile,
// D3DXGetImageInfoFromFileA, D3DXCreateTextureFromFileA and
// D3DXCreateTextureFromFileExA (loader options also picked by the hash) on a
// small fake device (tests/mocks/fake_d3d9.h) that aborts on misuse and pads
// each row by 16 bytes that must stay untouched.
//
// Broken invariants call Die(), which aborts; sanitizer reports and leaks are
// caught by libFuzzer itself.
#include <d3dx9.h>

#include "image_file.h"
#include "mocks/fake_d3d9.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

namespace {

using fake_d3d9::FakeDevice;
using fake_d3d9::FakeTexture;

// Prints the message and aborts: libFuzzer then saves the input as a crash.
[[noreturn]] void Die(const char* what) {
  std::fprintf(stderr, "image_fuzzer: %s\n", what);
  std::abort();
}

// The loaders' device: misuse aborts, each row padded by 16 bytes.
constexpr fake_d3d9::FakeOptions kDeviceOptions{16, true};

constexpr std::uint32_t kMaxDimension = 4096;
// One in this many undecodable inputs also takes the file path.
constexpr std::uint64_t kFilePathShare = 16;

std::string g_dir;
std::string g_path;

void RemoveScratch() {
  if (!g_path.empty()) unlink(g_path.c_str());
  if (!g_dir.empty()) rmdir(g_dir.c_str());
}

std::uint64_t Fnv1a(const std::uint8_t* data, std::size_t size) {
  std::uint64_t hash = 1469598103934665603ull;
  for (std::size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 1099511628211ull;
  return hash;
}

// Takes `count` choices off the hash.
unsigned Pick(std::uint64_t* hash, unsigned count) {
  const unsigned choice = static_cast<unsigned>(*hash % count);
  *hash /= count;
  return choice;
}

void WriteScratch(const std::uint8_t* data, std::size_t size) {
  // A fresh file rather than truncating the old one: ext4 flushes a file
  // that is truncated and rewritten to disk on close, which would cost a
  // disk write per input.
  unlink(g_path.c_str());
  FILE* file = std::fopen(g_path.c_str(), "wbx");
  if (!file) Die("cannot create the scratch file");
  const bool ok = size == 0 || std::fwrite(data, 1, size, file) == size;
  if (std::fclose(file) != 0 || !ok) Die("cannot write the scratch file");
}

bool SameInfo(const platform::ImageFileInfo& a, const platform::ImageFileInfo& b) {
  return a.format == b.format && a.width == b.width && a.height == b.height &&
         a.hasAlpha == b.hasAlpha;
}

bool IsPowerOfTwo(std::uint32_t v) { return v != 0 && (v & (v - 1)) == 0; }

struct MemoryResult {
  bool headerOk = false;
  platform::ImageFileInfo info;
  bool decodeOk = false;
  platform::Image image;
};

MemoryResult CheckMemoryPath(const std::uint8_t* data, std::size_t size) {
  MemoryResult r;
  platform::ImageError headerError = platform::ImageError::None;
  r.headerOk = platform::ReadImageInfoFromMemory(data, size, &r.info, &headerError);
  if (r.headerOk != (headerError == platform::ImageError::None))
    Die("header read: result and error disagree");
  if (!r.headerOk && !SameInfo(r.info, platform::ImageFileInfo()))
    Die("header read failed but filled the info");
  if (r.headerOk && (r.info.width == 0 || r.info.height == 0))
    Die("header read accepted a zero side");

  platform::ImageError decodeError = platform::ImageError::None;
  r.decodeOk = platform::DecodeImageFromMemory(data, size, kMaxDimension, &r.image, &decodeError);
  if (r.decodeOk != (decodeError == platform::ImageError::None))
    Die("decode: result and error disagree");
  if (r.decodeOk) {
    if (!r.headerOk) Die("decode succeeded where the header read failed");
    if (!SameInfo(r.info, r.image.info)) Die("decode and header read report different images");
    if (r.image.info.width > kMaxDimension || r.image.info.height > kMaxDimension)
      Die("decode went over the dimension limit");
    if (r.image.pixels.size() != std::size_t(r.image.info.width) * r.image.info.height * 4)
      Die("decoded pixel buffer has the wrong size");
  } else {
    if (!r.image.pixels.empty()) Die("failed decode left pixels behind");
    if (r.headerOk && (r.info.width > kMaxDimension || r.info.height > kMaxDimension) &&
        decodeError != platform::ImageError::DimensionsTooLarge)
      Die("oversized image not refused as DimensionsTooLarge");
  }
  return r;
}

void CheckFileDecode(const MemoryResult& memory) {
  platform::ImageFileInfo info;
  platform::ImageError error = platform::ImageError::None;
  const bool headerOk = platform::ReadImageFileInfo(g_path, &info, &error);
  if (headerOk != memory.headerOk || !SameInfo(info, memory.info))
    Die("file and memory header reads differ");

  platform::Image image;
  const bool decodeOk = platform::DecodeImageFile(g_path, kMaxDimension, &image, &error);
  if (decodeOk != memory.decodeOk) Die("file and memory decodes differ");
  if (decodeOk && (!SameInfo(image.info, memory.image.info) || image.pixels != memory.image.pixels))
    Die("file and memory decodes produced different pixels");
}

void CheckGetImageInfo(const MemoryResult& memory) {
  D3DXIMAGE_INFO info{};
  const HRESULT hr = D3DXGetImageInfoFromFileA(g_path.c_str(), &info);
  if (SUCCEEDED(hr) != memory.headerOk)
    Die("D3DXGetImageInfoFromFileA disagrees with the header read");
  if (FAILED(hr) && hr != D3DXERR_INVALIDDATA)
    Die("D3DXGetImageInfoFromFileA failed with an unexpected code");
  if (SUCCEEDED(hr) && (info.Width != memory.info.width || info.Height != memory.info.height))
    Die("D3DXGetImageInfoFromFileA reports a different size");
}

// The default loader: power-of-two sides, full mip chain, managed pool.
void CheckDefaultLoad(const MemoryResult& memory) {
  FakeDevice device(kDeviceOptions);
  device.maxTextureWidth = device.maxTextureHeight = 256;
  IDirect3DTexture9* texture = nullptr;
  const HRESULT hr = D3DXCreateTextureFromFileA(&device, g_path.c_str(), &texture);
  const bool expectOk = memory.decodeOk && memory.info.width <= device.maxTextureWidth &&
                        memory.info.height <= device.maxTextureHeight;
  if (SUCCEEDED(hr) != expectOk)
    Die("D3DXCreateTextureFromFileA result disagrees with the decoder");
  if (FAILED(hr)) {
    if (texture) Die("failed load returned a texture");
    if (hr != D3DXERR_INVALIDDATA && hr != E_OUTOFMEMORY)
      Die("failed load returned an unexpected code");
    if (device.LiveTextures() != 0) Die("failed load kept a texture alive");
    return;
  }
  if (!texture) Die("successful load returned no texture");
  auto* fake = static_cast<FakeTexture*>(texture);
  fake->CheckIntact();
  for (const auto& level : fake->Levels())
    if (!level.written) Die("a mip level was never filled");
  // Power-of-two images are copied unscaled into level 0.
  const std::uint32_t width = memory.info.width, height = memory.info.height;
  if (IsPowerOfTwo(width) && IsPowerOfTwo(height)) {
    const auto& top = fake->Levels()[0];
    if (top.width != width || top.height != height) Die("power-of-two image was resized");
    for (std::uint32_t y = 0; y < height; ++y)
      if (std::memcmp(top.bytes.data() + std::size_t(y) * top.pitch,
                      memory.image.pixels.data() + std::size_t(y) * width * 4,
                      std::size_t(width) * 4) != 0)
        Die("level 0 differs from the decoded image");
  }
  if (texture->Release() != 0 || device.LiveTextures() != 0) Die("loader kept a texture reference");
}

// The extended loader with options picked from the hash: only the interface
// contract is checked (no leaked references, levels filled, info reported).
// Device and texture sides stay small so that resampling does not dominate
// the run time.
void CheckExtendedLoad(const MemoryResult& memory, std::uint64_t hash) {
  static const UINT kSides[] = {D3DX_DEFAULT, 0,  D3DX_DEFAULT_NONPOW2, D3DX_FROM_FILE, 1, 3, 40,
                                96,           257};
  static const UINT kMips[] = {D3DX_DEFAULT, 0, 1, 2, D3DX_FROM_FILE, 40};
  static const DWORD kUsages[] = {0, D3DUSAGE_AUTOGENMIPMAP, D3DUSAGE_DYNAMIC};
  static const D3DFORMAT kFormats[] = {D3DFMT_UNKNOWN, D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8,
                                       D3DFMT_R5G6B5};
  static const DWORD kFilters[] = {D3DX_DEFAULT,
                                   D3DX_FILTER_NONE,
                                   D3DX_FILTER_POINT,
                                   D3DX_FILTER_LINEAR,
                                   D3DX_FILTER_BOX,
                                   D3DX_FILTER_TRIANGLE | 0x80000u,
                                   0x77u};
  static const D3DCOLOR kKeys[] = {0, 0xFF000000u, 0xFFFFFFFFu, 0xFF00FF00u};
  static const UINT kDeviceSides[] = {256, 96, 16};

  FakeDevice device(kDeviceOptions);
  device.maxTextureWidth = kDeviceSides[Pick(&hash, 3)];
  device.maxTextureHeight = kDeviceSides[Pick(&hash, 3)];
  const UINT width = kSides[Pick(&hash, 9)];
  const UINT height = kSides[Pick(&hash, 9)];
  const UINT mips = kMips[Pick(&hash, 6)];
  const DWORD usage = kUsages[Pick(&hash, 3)];
  const D3DFORMAT format = kFormats[Pick(&hash, 4)];
  const DWORD filter = kFilters[Pick(&hash, 7)];
  const DWORD mipFilter = kFilters[Pick(&hash, 7)];
  const D3DCOLOR key = kKeys[Pick(&hash, 4)];

  D3DXIMAGE_INFO info{};
  IDirect3DTexture9* texture = nullptr;
  const HRESULT hr = D3DXCreateTextureFromFileExA(&device, g_path.c_str(), width, height, mips,
                                                  usage, format, D3DPOOL_MANAGED, filter, mipFilter,
                                                  key, &info, nullptr, &texture);
  if (FAILED(hr)) {
    if (texture) Die("failed extended load returned a texture");
    if (device.LiveTextures() != 0) Die("failed extended load kept a texture alive");
    return;
  }
  if (!memory.headerOk) Die("extended load succeeded on a file the header read refuses");
  if (info.Width != memory.info.width || info.Height != memory.info.height)
    Die("extended load reported a different source size");
  if (!texture) Die("successful extended load returned no texture");
  auto* fake = static_cast<FakeTexture*>(texture);
  fake->CheckIntact();
  if (!fake->Levels()[0].written) Die("extended load left level 0 unfilled");
  if ((usage & D3DUSAGE_AUTOGENMIPMAP) == 0)
    for (const auto& level : fake->Levels())
      if (!level.written) Die("extended load left a mip level unfilled");
  if (texture->Release() != 0 || device.LiveTextures() != 0)
    Die("extended load kept a texture reference");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/image_fuzzer.XXXXXX";
  if (!mkdtemp(pattern.data())) Die("cannot create the scratch directory");
  g_dir = pattern;
  g_path = g_dir + "/input.img";
  std::atexit(RemoveScratch);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const MemoryResult memory = CheckMemoryPath(data, size);

  std::uint64_t hash = Fnv1a(data, size);
  if (!memory.decodeOk && Pick(&hash, kFilePathShare) != 0) return 0;

  WriteScratch(data, size);
  CheckFileDecode(memory);
  CheckGetImageInfo(memory);
  CheckDefaultLoad(memory);
  CheckExtendedLoad(memory, hash);
  return 0;
}
