// PNG decoding with libpng's classic API. Every palette, grey, RGB, 1-16 bit and
// interlaced variant is expanded to 8-bit BGRA; tRNS counts as alpha. Gamma
// chunks are ignored (texture loaders copy stored values as they are).
//
// libpng reports errors by longjmp. Each setjmp below sits in a small function
// whose locals are all trivially destructible, and the jump never crosses a C++
// frame with destructors; the error and warning handlers print nothing.
#include "image_decoders.h"

#include <png.h>

#include <csetjmp>
#include <cstring>

namespace platform {
namespace image_detail {
namespace {

struct PngSource {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t offset;
};

struct PngHeader {
  std::uint32_t width;
  std::uint32_t height;
  int bitDepth;
  int colorType;
  bool hasTrns;
};

[[noreturn]] void PngErrorHandler(png_structp png, png_const_charp /*message*/) {
  png_longjmp(png, 1);
}

void PngWarningHandler(png_structp, png_const_charp) {}

void PngReadCallback(png_structp png, png_bytep out, png_size_t count) {
  auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
  if (count > source->size - source->offset) png_error(png, "read past end of data");
  std::memcpy(out, source->data + source->offset, count);
  source->offset += count;
}

// Owns the libpng read and info structs.
class PngReader {
 public:
  PngReader(const std::uint8_t* data, std::size_t size) : m_source{data, size, 0} {
    m_png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngErrorHandler, PngWarningHandler);
    if (m_png) m_info = png_create_info_struct(m_png);
    if (m_png && m_info) png_set_read_fn(m_png, &m_source, PngReadCallback);
  }
  ~PngReader() {
    png_destroy_read_struct(m_png ? &m_png : nullptr, m_info ? &m_info : nullptr, nullptr);
  }
  PngReader(const PngReader&) = delete;
  PngReader& operator=(const PngReader&) = delete;

  bool Valid() const { return m_png && m_info; }
  png_structp Png() const { return m_png; }
  png_infop Info() const { return m_info; }

 private:
  PngSource m_source;
  png_structp m_png = nullptr;
  png_infop m_info = nullptr;
};

// The three libpng stages, each with its own landing point for png_error.
bool ReadHeaderStage(png_structp png, png_infop info, PngHeader* header) {
  if (setjmp(png_jmpbuf(png))) return false;
  // Only IHDR, PLTE, tRNS and IDAT matter here; skip every other chunk
  // unread. Otherwise libpng reads text, sPLT, eXIf and similar chunks into a
  // buffer of the length the chunk claims (up to 2 GiB, only warning that it
  // is over its limit) before finding that the data is not there.
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
  png_read_info(png, info);
  header->width = png_get_image_width(png, info);
  header->height = png_get_image_height(png, info);
  header->bitDepth = png_get_bit_depth(png, info);
  header->colorType = png_get_color_type(png, info);
  header->hasTrns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  return true;
}

bool ConfigureStage(png_structp png, png_infop info, const PngHeader& header) {
  if (setjmp(png_jmpbuf(png))) return false;
  if (header.colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (header.colorType == PNG_COLOR_TYPE_GRAY && header.bitDepth < 8)
    png_set_expand_gray_1_2_4_to_8(png);
  if (header.hasTrns) png_set_tRNS_to_alpha(png);
  if (header.bitDepth == 16) png_set_scale_16(png);
  if (header.colorType == PNG_COLOR_TYPE_GRAY || header.colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
    png_set_gray_to_rgb(png);
  if ((header.colorType & PNG_COLOR_MASK_ALPHA) == 0 && !header.hasTrns)
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  png_set_bgr(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  return png_get_rowbytes(png, info) == static_cast<png_size_t>(header.width) * 4;
}

bool ReadRowsStage(png_structp png, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_image(png, rows);
  return true;
}

bool ReadHeader(PngReader& reader, PngHeader* header, ImageError* error) {
  if (!reader.Valid()) return Fail(error, ImageError::OutOfMemory);
  if (!ReadHeaderStage(reader.Png(), reader.Info(), header))
    return Fail(error, ImageError::Corrupt);
  if (header->width == 0 || header->height == 0) return Fail(error, ImageError::Corrupt);
  return true;
}

void FillInfo(const PngHeader& header, ImageFileInfo* info) {
  info->format = ImageFormat::Png;
  info->width = header.width;
  info->height = header.height;
  info->hasAlpha = (header.colorType & PNG_COLOR_MASK_ALPHA) != 0 || header.hasTrns;
}

}  // namespace

bool PngReadInfo(const std::uint8_t* data, std::size_t size, ImageFileInfo* info,
                 ImageError* error) {
  PngReader reader(data, size);
  PngHeader header{};
  if (!ReadHeader(reader, &header, error)) return false;
  FillInfo(header, info);
  return true;
}

bool PngDecode(const std::uint8_t* data, std::size_t size, std::uint32_t maxDimension, Image* out,
               ImageError* error) {
  PngReader reader(data, size);
  PngHeader header{};
  if (!ReadHeader(reader, &header, error)) return false;
  if (!CheckDimensions(header.width, header.height, maxDimension, error)) return false;
  if (!ConfigureStage(reader.Png(), reader.Info(), header)) return Fail(error, ImageError::Corrupt);

  const std::size_t stride = static_cast<std::size_t>(header.width) * 4;
  std::vector<std::uint8_t> pixels(stride * header.height);
  std::vector<png_bytep> rows(header.height);
  for (std::uint32_t y = 0; y < header.height; ++y) rows[y] = pixels.data() + y * stride;
  if (!ReadRowsStage(reader.Png(), rows.data())) return Fail(error, ImageError::Corrupt);

  FillInfo(header, &out->info);
  out->pixels.swap(pixels);
  return true;
}

}  // namespace image_detail
}  // namespace platform
