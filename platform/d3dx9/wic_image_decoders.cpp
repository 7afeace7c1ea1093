// The JPEG and PNG decoders of the Windows build: the Windows Imaging
// Component (WIC), which every Windows since Vista has and Wine implements,
// so the executable needs no D3DX or image DLL of its own. The decoder reads
// the in-memory copy of the file (the container is the sniffed format, never
// WIC's guess), the frame's size is checked before any pixel buffer exists,
// and a format converter gives 32-bit BGRA.
//
// COM: each call initialises it for its own duration on the calling thread
// (multithreaded, as D3DX does) and leaves the thread as it found it; a
// thread that already runs COM in the other model keeps it.
//
// A cut JPEG: Wine's WIC refuses it, as libjpeg-turbo does here; a decoder
// that fills the missing part of the scan with grey instead (as Windows shows
// a cut JPEG) would make it a texture, so a JPEG whose entropy-coded data has
// no end-of-image marker is refused as Corrupt before WIC sees it. The IDCT's
// rounding is WIC's own (on Wine it is libjpeg's).
#include <windows.h>
#include <wincodec.h>

#include "image_decoders.h"

#include <cstdio>
#include <vector>

namespace platform {
namespace image_detail {
namespace {

// Holds one COM interface and releases it.
template <typename T>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() {
    if (m_pointer) m_pointer->Release();
  }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  T* operator->() const { return m_pointer; }
  T* Get() const { return m_pointer; }
  T** Out() { return &m_pointer; }
  void** OutVoid() { return reinterpret_cast<void**>(&m_pointer); }

 private:
  T* m_pointer = nullptr;
};

class ComScope {
 public:
  ComScope() : m_result(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(m_result)) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  // RPC_E_CHANGED_MODE: the thread runs COM single-threaded, which serves too.
  bool Usable() const { return SUCCEEDED(m_result) || m_result == RPC_E_CHANGED_MODE; }
  HRESULT Result() const { return m_result; }

 private:
  HRESULT m_result;
};

void ReportOnce(const char* what, HRESULT hr) {
  static bool reported = false;
  if (reported) return;
  reported = true;
  std::fprintf(stderr, "D3DX: the Windows Imaging Component is not available (%s: 0x%08lx)\n", what,
               static_cast<unsigned long>(hr));
}

// Whether the entropy-coded data after the first start-of-scan ends with an
// end-of-image marker. In that data a 0xFF byte is followed by 0x00 (stuffing)
// or a restart marker, so 0xFF 0xD9 is the real end.
bool JpegHasEnd(const std::uint8_t* data, std::size_t size) {
  std::size_t i = 2;
  while (i + 4 <= size) {  // the header's segments, up to the first scan
    if (data[i] != 0xFF) return false;
    const std::uint8_t marker = data[i + 1];
    if (marker == 0xFF) {
      ++i;
      continue;
    }
    const std::size_t length = (std::size_t{data[i + 2]} << 8) | data[i + 3];
    i += 2 + length;
    if (marker == 0xDA) break;
  }
  for (; i + 1 < size; ++i)
    if (data[i] == 0xFF && data[i + 1] == 0xD9) return true;
  return false;
}

// The decoder's first frame, for the JPEG or PNG container.
class WicFrame {
 public:
  bool Open(const std::uint8_t* data, std::size_t size, ImageFormat format, ImageError* error) {
    if (!m_com.Usable()) {
      ReportOnce("CoInitializeEx", m_com.Result());
      return Fail(error, ImageError::Unsupported);
    }
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IWICImagingFactory, m_factory.OutVoid());
    if (FAILED(hr)) {
      ReportOnce("CoCreateInstance(CLSID_WICImagingFactory)", hr);
      return Fail(error, hr == E_OUTOFMEMORY ? ImageError::OutOfMemory : ImageError::Unsupported);
    }
    if (size > MAXDWORD) return Fail(error, ImageError::FileTooLarge);
    const GUID& container =
        format == ImageFormat::Jpeg ? GUID_ContainerFormatJpeg : GUID_ContainerFormatPng;
    ComRef<IWICStream> stream;
    ComRef<IWICBitmapDecoder> decoder;
    if (FAILED(m_factory->CreateStream(stream.Out())) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(data), static_cast<DWORD>(size))) ||
        FAILED(m_factory->CreateDecoder(container, nullptr, decoder.Out())) ||
        FAILED(decoder->Initialize(stream.Get(), WICDecodeMetadataCacheOnDemand)) ||
        FAILED(decoder->GetFrame(0, m_frame.Out())))
      return Fail(error, ImageError::Corrupt);
    UINT width = 0, height = 0;
    if (FAILED(m_frame->GetSize(&width, &height)) || width == 0 || height == 0)
      return Fail(error, ImageError::Corrupt);
    m_info.format = format;
    m_info.width = width;
    m_info.height = height;
    m_info.hasAlpha = format == ImageFormat::Png && HasAlpha();
    return true;
  }

  const ImageFileInfo& Info() const { return m_info; }

  bool CopyBgra(std::vector<std::uint8_t>* pixels, ImageError* error) {
    ComRef<IWICFormatConverter> converter;
    if (FAILED(m_factory->CreateFormatConverter(converter.Out())) ||
        FAILED(converter->Initialize(m_frame.Get(), GUID_WICPixelFormat32bppBGRA,
                                     WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)))
      return Fail(error, ImageError::Unsupported);
    const UINT stride = m_info.width * 4;
    const HRESULT hr =
        converter->CopyPixels(nullptr, stride, static_cast<UINT>(pixels->size()), pixels->data());
    if (hr == E_OUTOFMEMORY) return Fail(error, ImageError::OutOfMemory);
    if (FAILED(hr)) return Fail(error, ImageError::Corrupt);
    return true;
  }

 private:
  // A palette with a transparent entry, or a pixel format with an alpha channel.
  bool HasAlpha() {
    WICPixelFormatGUID pixelFormat;
    if (FAILED(m_frame->GetPixelFormat(&pixelFormat))) return false;
    ComRef<IWICPalette> palette;
    BOOL alpha = FALSE;
    if (SUCCEEDED(m_factory->CreatePalette(palette.Out())) &&
        SUCCEEDED(m_frame->CopyPalette(palette.Get())))
      return SUCCEEDED(palette->HasAlpha(&alpha)) && alpha;
    ComRef<IWICComponentInfo> component;
    ComRef<IWICPixelFormatInfo2> formatInfo;
    return SUCCEEDED(m_factory->CreateComponentInfo(pixelFormat, component.Out())) &&
           SUCCEEDED(component->QueryInterface(IID_IWICPixelFormatInfo2, formatInfo.OutVoid())) &&
           SUCCEEDED(formatInfo->SupportsTransparency(&alpha)) && alpha;
  }

  ComScope m_com;  // first in, last out: every interface below is released before it ends
  ComRef<IWICImagingFactory> m_factory;
  ComRef<IWICBitmapFrameDecode> m_frame;
  ImageFileInfo m_info;
};

bool ReadInfo(const std::uint8_t* data, std::size_t size, ImageFormat format, ImageFileInfo* info,
              ImageError* error) {
  WicFrame frame;
  if (!frame.Open(data, size, format, error)) return false;
  *info = frame.Info();
  return true;
}

bool Decode(const std::uint8_t* data, std::size_t size, ImageFormat format,
            std::uint32_t maxDimension, Image* out, ImageError* error) {
  if (format == ImageFormat::Jpeg && !JpegHasEnd(data, size))
    return Fail(error, ImageError::Corrupt);
  WicFrame frame;
  if (!frame.Open(data, size, format, error)) return false;
  const ImageFileInfo& info = frame.Info();
  if (!CheckDimensions(info.width, info.height, maxDimension, error)) return false;
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(info.width) * info.height * 4);
  if (!frame.CopyBgra(&pixels, error)) return false;
  if (format == ImageFormat::Jpeg)
    for (std::size_t i = 3; i < pixels.size(); i += 4) pixels[i] = 0xFF;
  out->info = info;
  out->pixels.swap(pixels);
  return true;
}

}  // namespace

bool JpegReadInfo(const std::uint8_t* data, std::size_t size, ImageFileInfo* info,
                  ImageError* error) {
  return ReadInfo(data, size, ImageFormat::Jpeg, info, error);
}

bool JpegDecode(const std::uint8_t* data, std::size_t size, std::uint32_t maxDimension, Image* out,
                ImageError* error) {
  return Decode(data, size, ImageFormat::Jpeg, maxDimension, out, error);
}

bool PngReadInfo(const std::uint8_t* data, std::size_t size, ImageFileInfo* info,
                 ImageError* error) {
  return ReadInfo(data, size, ImageFormat::Png, info, error);
}

bool PngDecode(const std::uint8_t* data, std::size_t size, std::uint32_t maxDimension, Image* out,
               ImageError* error) {
  return Decode(data, size, ImageFormat::Png, maxDimension, out, error);
}

}  // namespace image_detail
}  // namespace platform
