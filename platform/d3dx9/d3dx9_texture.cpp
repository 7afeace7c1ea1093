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

#include "image_file.h"
#include "image_report.h"
#include "image_resample.h"

#include <algorithm>
#include <cstring>
#include <new>
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

HRESULT FillAllLevels(IDirect3DTexture9* texture, UINT levels, PixelBuffer top, bool pointMips) {
  HRESULT hr = FillLevel(texture, 0, top);
  for (UINT level = 1; SUCCEEDED(hr) && level < levels; ++level) {
    top = HalveForMip(top, pointMips);
    hr = FillLevel(texture, level, top);
  }
  return hr;
}

// A file D3DX cannot load: says so on stderr (image_report.h), once per path,
// and gives the caller's result.
HRESULT FileFailure(const char* path, ImageError error, const std::vector<std::uint8_t>& bytes,
                    const ImageFileInfo& info) {
  ReportImageFailure(
      path, DescribeImageFailure(error, bytes.data(), bytes.size(), info.width, info.height));
  return error == ImageError::OutOfMemory ? E_OUTOFMEMORY : HRESULT{D3DXERR_INVALIDDATA};
}

HRESULT CreateTextureFromFile(IDirect3DDevice9* device, const char* path, UINT width, UINT height,
                              UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              DWORD filter, DWORD mipFilter, D3DCOLOR colorKey,
                              D3DXIMAGE_INFO* srcInfo, IDirect3DTexture9** textureOut) {
  ResampleFilter resample = ResampleFilter::Tent;
  ResampleFilter mipResample = ResampleFilter::Tent;
  if (!ToResampleFilter(filter, &resample) || !ToResampleFilter(mipFilter, &mipResample))
    return D3DERR_INVALIDCALL;

  std::vector<std::uint8_t> bytes;
  ImageError error = ImageError::None;
  ImageFileInfo fileInfo;
  if (!ReadFileBytes(path, &bytes, &error) ||
      !ReadImageInfoFromMemory(bytes.data(), bytes.size(), &fileInfo, &error))
    return FileFailure(path, error, bytes, fileInfo);
  if (srcInfo) *srcInfo = ToImageInfo(fileInfo);

  D3DCAPS9 caps{};
  HRESULT hr = device->GetDeviceCaps(&caps);
  if (FAILED(hr)) return hr;
  const UINT maxWidth = std::min<UINT>(caps.MaxTextureWidth, kLoaderMaxDimension);
  const UINT maxHeight = std::min<UINT>(caps.MaxTextureHeight, kLoaderMaxDimension);
  if (fileInfo.width > maxWidth || fileInfo.height > maxHeight)
    return FileFailure(path, ImageError::DimensionsTooLarge, bytes, fileInfo);

  UINT texWidth = 0, texHeight = 0;
  if (FAILED(hr = ResolveSide(width, fileInfo.width, maxWidth, &texWidth))) return hr;
  if (FAILED(hr = ResolveSide(height, fileInfo.height, maxHeight, &texHeight))) return hr;

  const UINT fullChain = FullMipCount(texWidth, texHeight);
  UINT levels = mipLevels;
  if (mipLevels == 0 || mipLevels == D3DX_DEFAULT)
    levels = fullChain;
  else if (mipLevels == D3DX_FROM_FILE)
    levels = 1;
  else
    levels = std::min(mipLevels, fullChain);
  const UINT levelsToCreate =
      (usage & D3DUSAGE_AUTOGENMIPMAP) ? (mipLevels == 1 ? 1u : 0u) : levels;
  const UINT levelsToFill = (usage & D3DUSAGE_AUTOGENMIPMAP) ? 1u : levels;

  const bool wantAlpha = fileInfo.hasAlpha || colorKey != 0;
  const DWORD requestedFormat = static_cast<DWORD>(format);
  D3DFORMAT texFormat = wantAlpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
  if (requestedFormat == D3DFMT_A8R8G8B8 || requestedFormat == D3DFMT_X8R8G8B8) texFormat = format;

  Image decoded;
  if (!DecodeImageFromMemory(bytes.data(), bytes.size(), kLoaderMaxDimension, &decoded, &error))
    return FileFailure(path, error, bytes, fileInfo);
  bytes.clear();
  bytes.shrink_to_fit();

  PixelBuffer source;
  source.width = decoded.info.width;
  source.height = decoded.info.height;
  source.bgra.swap(decoded.pixels);
  if (colorKey != 0) ApplyColorKey(&source, colorKey);
  PixelBuffer top = Resample(source, texWidth, texHeight, resample);
  source = PixelBuffer();
  if (texFormat == D3DFMT_X8R8G8B8) ForceOpaque(&top);

  IDirect3DTexture9* texture = nullptr;
  hr = device->CreateTexture(texWidth, texHeight, levelsToCreate, usage, texFormat, pool, &texture,
                             nullptr);
  if (FAILED(hr)) return hr;
  if (!texture) return D3DERR_INVALIDCALL;

  try {
    hr = FillAllLevels(texture, levelsToFill, std::move(top), mipResample == ResampleFilter::Point);
  } catch (const std::bad_alloc&) {
    hr = E_OUTOFMEMORY;
  }
  if (FAILED(hr)) {
    texture->Release();
    return hr;
  }
  *textureOut = texture;
  return D3D_OK;
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
    return platform::CreateTextureFromFile(pDevice, pSrcFile, Width, Height, MipLevels, Usage,
                                           Format, Pool, Filter, MipFilter, ColorKey, pSrcInfo,
                                           ppTexture);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT WINAPI D3DXCreateTextureFromFileA(LPDIRECT3DDEVICE9 pDevice, LPCSTR pSrcFile,
                                          LPDIRECT3DTEXTURE9* ppTexture) {
  return D3DXCreateTextureFromFileExA(pDevice, pSrcFile, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT,
                                      0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT,
                                      D3DX_DEFAULT, 0, nullptr, nullptr, ppTexture);
}
