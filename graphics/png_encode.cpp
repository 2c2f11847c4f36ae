#include "graphics/png_encode.h"

#include <png.h>

namespace nv::gfx {

namespace {

void write_to_vector(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void flush_nothing(png_structp) {}

}  // namespace

std::vector<uint8_t> encode_png(const uint32_t* pixels, int width, int height, bool keep_alpha) {
  std::vector<uint8_t> out;
  if (!pixels || width <= 0 || height <= 0) return out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return out;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return out;
  }
  const int channels = keep_alpha ? 4 : 3;
  std::vector<uint8_t> row(size_t(width) * size_t(channels));
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(png, &out, write_to_vector, flush_nothing);
  png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8,
               keep_alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < height; ++y) {
    const uint32_t* src = pixels + size_t(y) * size_t(width);
    uint8_t* d = row.data();
    for (int x = 0; x < width; ++x) {
      uint32_t p = src[x];
      *d++ = uint8_t(p >> 16);
      *d++ = uint8_t(p >> 8);
      *d++ = uint8_t(p);
      if (keep_alpha) *d++ = uint8_t(p >> 24);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

}  // namespace nv::gfx
