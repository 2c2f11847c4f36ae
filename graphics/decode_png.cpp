// PNG through libpng: every colour type becomes 8-bit BGRA (palette and
// low-depth grey expanded, tRNS expanded to alpha, 16-bit stripped, grey to
// RGB, filler 255 where the file has no alpha), with gamma correction for a
// screen gamma of 2.2 when the file has a gAMA chunk.
#include <png.h>

#include <cstring>
#include <new>

#include "graphics/image.h"

namespace nv::gfx {

namespace {

struct PngSource {
  const uint8_t* data;
  size_t size;
  size_t pos;
};

void read_from_memory(png_structp png, png_bytep dst, png_size_t length) {
  auto* s = static_cast<PngSource*>(png_get_io_ptr(png));
  if (length > s->size - s->pos) png_error(png, "truncated");
  std::memcpy(dst, s->data + s->pos, length);
  s->pos += length;
}

void on_error(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void on_warning(png_structp, png_const_charp) {}

// Everything between setjmp and the end touches only plain values, so a
// longjmp out of libpng skips no destructor.
uint32_t read_png(png_structp png, png_infop info, png_infop end_info, PngSource* src, DecodedImage& out) {
  volatile uint32_t result = kErrPng;
  if (setjmp(png_jmpbuf(png))) return result;
  png_set_read_fn(png, src, read_from_memory);
  png_read_info(png, info);
  png_uint_32 width = 0, height = 0;
  int depth = 0, colour = 0;
  png_get_IHDR(png, info, &width, &height, &depth, &colour, nullptr, nullptr, nullptr);
  if (width >= 8193 || height >= 8193) {
    result = kErrTooLarge;
    png_longjmp(png, 1);
  }
  const bool has_trns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  if (colour == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colour == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (has_trns) png_set_tRNS_to_alpha(png);
  if (depth == 16) png_set_strip_16(png);
  if (colour == PNG_COLOR_TYPE_GRAY || colour == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  png_set_bgr(png);
  if (!(colour & PNG_COLOR_MASK_ALPHA) && !has_trns) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  double file_gamma = 0;
  if (png_get_gAMA(png, info, &file_gamma) && file_gamma > 0) png_set_gamma(png, 2.2, file_gamma);
  const int passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != size_t(width) * 4) png_longjmp(png, 1);
  out.width = int32_t(width);
  out.height = int32_t(height);
  out.alpha = colour == PNG_COLOR_TYPE_GRAY_ALPHA || colour == PNG_COLOR_TYPE_RGB_ALPHA;
  bool allocated = true;
  try {
    out.pixels.assign(size_t(width) * height, 0);
  } catch (const std::bad_alloc&) {
    allocated = false;
  }
  if (!allocated) {
    result = kErrNoMemory;
    png_longjmp(png, 1);
  }
  for (int pass = 0; pass < passes; ++pass)
    for (png_uint_32 y = 0; y < height; ++y)
      png_read_row(png, reinterpret_cast<png_bytep>(out.pixels.data() + size_t(y) * width), nullptr);
  png_read_end(png, end_info);
  return 0;
}

}  // namespace

uint32_t decode_png(std::span<const uint8_t> bytes, DecodedImage& out) {
  out = DecodedImage{};
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, on_error, on_warning);
  if (!png) return kErrPng;
  png_infop info = png_create_info_struct(png);
  png_infop end_info = png_create_info_struct(png);
  uint32_t result = kErrPng;
  if (info && end_info) {
    PngSource src{bytes.data(), bytes.size(), 0};
    result = read_png(png, info, end_info, &src, out);
  }
  png_destroy_read_struct(&png, info ? &info : nullptr, end_info ? &end_info : nullptr);
  if (result != 0 && result != kErrNoMemory) out = DecodedImage{};
  if (result == kErrNoMemory) out.pixels.clear();
  return result;
}

}  // namespace nv::gfx
