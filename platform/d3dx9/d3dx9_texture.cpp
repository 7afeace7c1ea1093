// D3DX texture loading from image files (JPEG, PNG, BMP). Like the real D3DX,
// this works only through the public device and texture interfaces: it reads
// the device's maximum texture size with GetDeviceCaps, creates the texture
// with CreateTexture and fills each level with LockRect/UnlockRect.
//
// Supported target formats are A8R8G8B8 and X8R8G8B8; any other requested
// format is replaced by whichever of the two matches the file (as D3DX picks
// the closest format it can produce). Palettes are not produced (pPalette is
// ignored). Mip levels are 2x2 box reductions (point sampling for
// D3DX_FILTER_POINT); a D3DUSAGE_AUTOGENMIPMAP texture gets only level 0.
#include <d3dx9.h>

#include "decoded_cache.h"
#include "image_decoders.h"
#include "image_file.h"
#include "image_report.h"
#include "image_resample.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <utility>
#include <vector>

namespace platform {
namespace {

// Largest side the loader decodes, whatever the device claims.
constexpr UINT kLoaderMaxDimension = 8192;

D3DXIMAGE_INFO ToImageInfo(const ImageFileInfo& file) {
  D3DXIMAGE_INFO info{};
  info.Width = file.width;
  info.Height = file.height;
  info.Depth = 1;
  info.MipLevels = 1;
  info.Format = file.hasAlpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
  info.ResourceType = D3DRTYPE_TEXTURE;
  switch (file.format) {
    case ImageFormat::Jpeg: info.ImageFileFormat = D3DXIFF_JPG; break;
    case ImageFormat::Png: info.ImageFileFormat = D3DXIFF_PNG; break;
    case ImageFormat::Bmp:
    case ImageFormat::Unknown: info.ImageFileFormat = D3DXIFF_BMP; break;
  }
  return info;
}

UINT NextPowerOfTwo(UINT value) {
  UINT result = 1;
  while (result < value && result < 0x80000000u) result <<= 1;
  return result;
}

UINT LargestPowerOfTwoAtMost(UINT value) {
  UINT result = 1;
  while (result <= value / 2) result <<= 1;
  return result;
}

UINT FullMipCount(UINT width, UINT height) {
  UINT levels = 1;
  for (UINT side = std::max(width, height); side > 1; side /= 2) ++levels;
  return levels;
}

// Resolves one side of the texture from the caller's request.
HRESULT ResolveSide(UINT requested, UINT imageSide, UINT deviceMax, UINT* side) {
  if (requested == 0 || requested == D3DX_DEFAULT) {
    *side = NextPowerOfTwo(imageSide);
    if (*side > deviceMax) *side = LargestPowerOfTwoAtMost(deviceMax);
  } else if (requested == D3DX_DEFAULT_NONPOW2 || requested == D3DX_FROM_FILE) {
    *side = imageSide;
  } else {
    if (requested > deviceMax) return D3DERR_INVALIDCALL;
    *side = requested;
  }
  return D3D_OK;
}

bool ToResampleFilter(DWORD filter, ResampleFilter* out) {
  if (filter == D3DX_DEFAULT) {
    *out = ResampleFilter::Tent;
    return true;
  }
  switch (filter & 0xFFu) {
    case D3DX_FILTER_NONE: *out = ResampleFilter::None; return true;
    case D3DX_FILTER_POINT: *out = ResampleFilter::Point; return true;
    case D3DX_FILTER_LINEAR:
    case D3DX_FILTER_TRIANGLE:
    case D3DX_FILTER_BOX: *out = ResampleFilter::Tent; return true;
    default: return false;
  }
}

HRESULT FillLevel(IDirect3DTexture9* texture, UINT level, const PixelBuffer& pixels) {
  D3DLOCKED_RECT locked{};
  HRESULT hr = texture->LockRect(level, &locked, nullptr, 0);
  if (FAILED(hr)) return hr;
  const std::size_t rowBytes = static_cast<std::size_t>(pixels.width) * 4;
  if (!locked.pBits || locked.Pitch < 0 || static_cast<std::size_t>(locked.Pitch) < rowBytes) {
    texture->UnlockRect(level);
    return D3DERR_INVALIDCALL;
  }
  auto* dst = static_cast<std::uint8_t*>(locked.pBits);
  for (UINT y = 0; y < pixels.height; ++y)
    std::memcpy(dst + static_cast<std::size_t>(y) * locked.Pitch, pixels.bgra.data() + y * rowBytes,
                rowBytes);
  return texture->UnlockRect(level);
}

std::string Size(UINT width, UINT height) {
  return "(" + std::to_string(width) + " x " + std::to_string(height) + ")";
}

std::string HresultText(HRESULT hr) {
  switch (hr) {
    case E_OUTOFMEMORY: return "out of memory";
    case D3DERR_OUTOFVIDEOMEMORY: return "out of video memory";
    case D3DERR_INVALIDCALL: return "an invalid call";
    default: break;
  }
  char text[32];
  std::snprintf(text, sizeof(text), "HRESULT 0x%08lx", static_cast<unsigned long>(hr));
  return text;
}

// A load that fails says why on stderr (image_report.h), once per path, and
// gives the caller's result.
HRESULT Failure(const char* path, const std::string& reason, HRESULT hr) {
  ReportImageFailure(path, reason);
  return hr;
}

HRESULT FileFailure(const char* path, ImageError error, const std::vector<std::uint8_t>& bytes,
                    const ImageFileInfo& info) {
  return Failure(path,
                 DescribeImageFailure(error, bytes.data(), bytes.size(), info.width, info.height),
                 error == ImageError::OutOfMemory ? E_OUTOFMEMORY : HRESULT{D3DXERR_INVALIDDATA});
}

// What the load needs of the file and the device before it decodes: the
// texture's size, levels and format. Decodes nothing.
HRESULT PlanTexture(const TextureRequest& request, const char* path, DecodedTexture* plan,
                    std::vector<std::uint8_t>* bytes, ImageFileInfo* fileInfo) {
  ImageError error = ImageError::None;
  if (!ReadFileBytes(path, bytes, &error) ||
      !ReadImageInfoFromMemory(bytes->data(), bytes->size(), fileInfo, &error))
    return FileFailure(path, error, *bytes, *fileInfo);
  plan->sourceInfo = ToImageInfo(*fileInfo);

  D3DCAPS9 caps{};
  HRESULT hr = request.device->GetDeviceCaps(&caps);
  if (FAILED(hr)) return Failure(path, "the device gave no capabilities: " + HresultText(hr), hr);
  const UINT maxWidth = std::min<UINT>(caps.MaxTextureWidth, kLoaderMaxDimension);
  const UINT maxHeight = std::min<UINT>(caps.MaxTextureHeight, kLoaderMaxDimension);
  if (fileInfo->width > maxWidth || fileInfo->height > maxHeight)
    return FileFailure(path, ImageError::DimensionsTooLarge, *bytes, *fileInfo);
  if (FAILED(ResolveSide(request.width, fileInfo->width, maxWidth, &plan->width)) ||
      FAILED(ResolveSide(request.height, fileInfo->height, maxHeight, &plan->height)))
    return Failure(path,
                   "a texture " + Size(request.width, request.height) +
                       " larger than the device takes " + Size(maxWidth, maxHeight),
                   D3DERR_INVALIDCALL);

  const UINT fullChain = FullMipCount(plan->width, plan->height);
  UINT levels = request.mipLevels;
  if (levels == 0 || levels == D3DX_DEFAULT)
    levels = fullChain;
  else if (levels == D3DX_FROM_FILE)
    levels = 1;
  else
    levels = std::min(levels, fullChain);
  const bool autoMips = (request.usage & D3DUSAGE_AUTOGENMIPMAP) != 0;
  plan->levelsToCreate = autoMips ? (request.mipLevels == 1 ? 1u : 0u) : levels;
  plan->levels.resize(autoMips ? 1u : levels);

  const bool wantAlpha = fileInfo->hasAlpha || request.colorKey != 0;
  plan->format = wantAlpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
  if (request.format == D3DFMT_A8R8G8B8 || request.format == D3DFMT_X8R8G8B8)
    plan->format = request.format;
  return D3D_OK;
}

// Decodes the file's bytes into the plan's levels: the image at the
// texture's size, then each mip level from the one above.
HRESULT DecodeLevels(const TextureRequest& request, const char* path,
                     std::vector<std::uint8_t>* bytes, const ImageFileInfo& fileInfo,
                     DecodedTexture* plan) {
  ResampleFilter resample = ResampleFilter::Tent;
  ResampleFilter mipResample = ResampleFilter::Tent;
  ToResampleFilter(request.filter, &resample);
  ToResampleFilter(request.mipFilter, &mipResample);
  Image decoded;
  ImageError error = ImageError::None;
  if (!DecodeImageFromMemory(bytes->data(), bytes->size(), kLoaderMaxDimension, &decoded, &error))
    return FileFailure(path, error, *bytes, fileInfo);
  *bytes = std::vector<std::uint8_t>();

  const char* step = "resampling the image";
  try {
    PixelBuffer source;
    source.width = decoded.info.width;
    source.height = decoded.info.height;
    source.bgra.swap(decoded.pixels);
    if (request.colorKey != 0) ApplyColorKey(&source, request.colorKey);
    plan->levels[0] = Resample(std::move(source), plan->width, plan->height, resample);
    if (plan->format == D3DFMT_X8R8G8B8) ForceOpaque(&plan->levels[0]);
    step = "making the mip levels";
    for (std::size_t level = 1; level < plan->levels.size(); ++level)
      plan->levels[level] =
          HalveForMip(plan->levels[level - 1], mipResample == ResampleFilter::Point);
  } catch (const std::bad_alloc&) {
    return Failure(
        path, std::string("out of memory while ") + step + " " + Size(plan->width, plan->height),
        E_OUTOFMEMORY);
  }
  return D3D_OK;
}

// A texture of its own for one load, filled from the decoded levels.
HRESULT MakeTexture(const DecodedTexture& decoded, D3DPOOL pool, const char* path,
                    IDirect3DTexture9** textureOut) {
  const TextureRequest& request = decoded.request;
  IDirect3DTexture9* texture = nullptr;
  HRESULT hr =
      request.device->CreateTexture(decoded.width, decoded.height, decoded.levelsToCreate,
                                    request.usage, decoded.format, pool, &texture, nullptr);
  if (SUCCEEDED(hr) && !texture) hr = D3DERR_INVALIDCALL;
  if (FAILED(hr)) {
    const std::string size = Size(decoded.width, decoded.height);
    if (hr == E_OUTOFMEMORY || hr == D3DERR_OUTOFVIDEOMEMORY)
      return Failure(path, "out of memory while making the texture " + size, hr);
    return Failure(path, "the device could not make the texture " + size + ": " + HresultText(hr),
                   hr);
  }
  UINT level = 0;
  try {
    for (; level < decoded.levels.size(); ++level)
      if (FAILED(hr = FillLevel(texture, level, decoded.levels[level]))) break;
  } catch (const std::bad_alloc&) {
    hr = E_OUTOFMEMORY;
  }
  if (FAILED(hr)) {
    texture->Release();
    return Failure(
        path,
        "the texture's level " + std::to_string(level) + " could not be filled: " + HresultText(hr),
        hr);
  }
  *textureOut = texture;
  return D3D_OK;
}

HRESULT CreateTextureFromFile(const TextureRequest& request, D3DPOOL pool, const char* path,
                              D3DXIMAGE_INFO* srcInfo, IDirect3DTexture9** textureOut) {
  ResampleFilter unused;
  if (!ToResampleFilter(request.filter, &unused) || !ToResampleFilter(request.mipFilter, &unused))
    return D3DERR_INVALIDCALL;
  if (const DecodedTexture* kept = FindDecoded(request)) {
    if (srcInfo) *srcInfo = kept->sourceInfo;
    return MakeTexture(*kept, pool, path, textureOut);
  }
  DecodedTexture decoded;
  decoded.request = request;
  std::vector<std::uint8_t> bytes;
  ImageFileInfo fileInfo;
  HRESULT hr = PlanTexture(request, path, &decoded, &bytes, &fileInfo);
  if (srcInfo && fileInfo.width != 0) *srcInfo = decoded.sourceInfo;
  if (SUCCEEDED(hr)) hr = DecodeLevels(request, path, &bytes, fileInfo, &decoded);
  if (SUCCEEDED(hr)) hr = MakeTexture(decoded, pool, path, textureOut);
  // A file that has no stamp (it changed while loading?) is not kept.
  if (SUCCEEDED(hr) && request.fileSize != 0) KeepDecoded(std::move(decoded));
  return hr;
}

}  // namespace
}  // namespace platform

HRESULT WINAPI D3DXGetImageInfoFromFileA(LPCSTR pSrcFile, D3DXIMAGE_INFO* pSrcInfo) {
  if (!pSrcFile) return D3DERR_INVALIDCALL;
  try {
    platform::ImageFileInfo fileInfo;
    platform::ImageError error = platform::ImageError::None;
    std::vector<std::uint8_t> bytes;
    if (!platform::ReadFileBytes(pSrcFile, &bytes, &error) ||
        !platform::ReadImageInfoFromMemory(bytes.data(), bytes.size(), &fileInfo, &error))
      return platform::FileFailure(pSrcFile, error, bytes, fileInfo);
    if (pSrcInfo) *pSrcInfo = platform::ToImageInfo(fileInfo);
    return D3D_OK;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

HRESULT WINAPI D3DXCreateTextureFromFileExA(LPDIRECT3DDEVICE9 pDevice, LPCSTR pSrcFile, UINT Width,
                                            UINT Height, UINT MipLevels, DWORD Usage,
                                            D3DFORMAT Format, D3DPOOL Pool, DWORD Filter,
                                            DWORD MipFilter, D3DCOLOR ColorKey,
                                            D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* /*pPalette*/,
                                            LPDIRECT3DTEXTURE9* ppTexture) {
  if (ppTexture) *ppTexture = nullptr;
  if (!pDevice || !pSrcFile || !ppTexture) return D3DERR_INVALIDCALL;
  try {
    platform::TextureRequest request;
    request.device = pDevice;
    request.path = pSrcFile;
    platform::image_detail::FileStamp stamp;
    if (platform::image_detail::StampFile(pSrcFile, &stamp)) {
      request.fileId = stamp.id;
      request.fileSize = stamp.size;
      request.fileTime = stamp.time;
    }
    request.width = Width;
    request.height = Height;
    request.mipLevels = MipLevels;
    request.usage = Usage;
    request.format = Format;
    request.filter = Filter;
    request.mipFilter = MipFilter;
    request.colorKey = ColorKey;
    return platform::CreateTextureFromFile(request, Pool, pSrcFile, pSrcInfo, ppTexture);
  } catch (const std::bad_alloc&) {
    platform::ReportImageFailure(pSrcFile, "out of memory while loading");
    return E_OUTOFMEMORY;
  } catch (...) {
    platform::ReportImageFailure(pSrcFile, "failed (an unexpected error)");
    return E_FAIL;
  }
}

HRESULT WINAPI D3DXCreateTextureFromFileA(LPDIRECT3DDEVICE9 pDevice, LPCSTR pSrcFile,
                                          LPDIRECT3DTEXTURE9* ppTexture) {
  return D3DXCreateTextureFromFileExA(pDevice, pSrcFile, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT,
                                      0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT,
                                      D3DX_DEFAULT, 0, nullptr, nullptr, ppTexture);
}
