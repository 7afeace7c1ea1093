// The JPEG and PNG decoders of the browser build. PNG is lossless, so
// stb_image (image_stb.cpp) gives libpng's pixels. A JPEG's pixels depend on
// the decoder's IDCT rounding: stb's are up to 3 steps off libjpeg-turbo's, so
// they come from the browser's own decoder (libjpeg-turbo in Chromium and
// Firefox), which the call waits for (Asyncify); stb reads the header, so the
// sizes are checked before any pixel buffer exists, as natively.
// Limits: a JPEG the browser cannot decode is Corrupt, whatever the reason.
#include <emscripten.h>

#include <cstdint>
#include <vector>

#include "image_stb.h"

namespace platform {
namespace image_detail {
namespace {

// Decodes the JPEG at [data, data + size) into `out` (width × height RGBA,
// unpremultiplied, no colour management). 1 on success, 0 when the browser
// refuses the data or it has another size.
// clang-format off
EM_ASYNC_JS(int, BrowserDecodeJpeg, (const std::uint8_t* data, std::size_t size, std::uint8_t* out,
                                      int width, int height), {
  try {
    var blob = new Blob([HEAPU8.slice(data, data + size)], {type: 'image/jpeg'});
    var bitmap = await createImageBitmap(blob, {premultiplyAlpha: 'none',
                                                colorSpaceConversion: 'none'});
    var sized = bitmap.width === width && bitmap.height === height;
    if (sized) {
      var canvas = new OffscreenCanvas(width, height);
      var context = canvas.getContext('2d', {willReadFrequently: true});
      context.drawImage(bitmap, 0, 0);
      HEAPU8.set(context.getImageData(0, 0, width, height).data, out);
    }
    bitmap.close();
    return sized ? 1 : 0;
  } catch (e) {
    return 0;
  }
});
// clang-format on

}  // namespace

bool JpegReadInfo(const std::uint8_t* data, std::size_t size, ImageFileInfo* info,
                  ImageError* error) {
  return StbReadInfo(data, size, ImageFormat::Jpeg, info, error);
}

bool JpegDecode(const std::uint8_t* data, std::size_t size, std::uint32_t maxDimension, Image* out,
                ImageError* error) {
  ImageFileInfo info;
  if (!JpegReadInfo(data, size, &info, error)) return false;
  if (!CheckDimensions(info.width, info.height, maxDimension, error)) return false;
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(info.width) * info.height * 4);
  if (!BrowserDecodeJpeg(data, size, pixels.data(), static_cast<int>(info.width),
                         static_cast<int>(info.height)))
    return Fail(error, ImageError::Corrupt);
  // RGBA to BGRA; a JPEG is opaque.
  for (std::size_t i = 0; i < pixels.size(); i += 4) {
    const std::uint8_t red = pixels[i];
    pixels[i] = pixels[i + 2];
    pixels[i + 2] = red;
    pixels[i + 3] = 0xff;
  }
  out->info = info;
  out->pixels.swap(pixels);
  return true;
}

bool PngReadInfo(const std::uint8_t* data, std::size_t size, ImageFileInfo* info,
                 ImageError* error) {
  return StbReadInfo(data, size, ImageFormat::Png, info, error);
}

bool PngDecode(const std::uint8_t* data, std::size_t size, std::uint32_t maxDimension, Image* out,
               ImageError* error) {
  return StbDecode(data, size, ImageFormat::Png, maxDimension, out, error);
}

}  // namespace image_detail
}  // namespace platform
