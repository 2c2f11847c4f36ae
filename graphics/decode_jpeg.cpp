// JPEG through libjpeg from memory: colour and grey pictures become BGRA
// with alpha 255 (the library writes blue, green, red, 0xFF directly);
// CMYK pictures are turned into RGB. A file that ends before its last
// scanline, or any library error, gives 100210.
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <new>

#include <jpeglib.h>
#include <jerror.h>

#include "graphics/image.h"

namespace nv::gfx {

namespace {

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

struct MemorySource {
  jpeg_source_mgr base;
  const uint8_t* data;
  size_t size;
};

const JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};
// Progressive files with absurd scan counts take unbounded time; real ones
// have a few dozen.
constexpr int kMaxScans = 1000;

void on_error_exit(j_common_ptr c) { std::longjmp(reinterpret_cast<ErrorManager*>(c->err)->jump, 1); }
void on_message(j_common_ptr) {}

void init_source(j_decompress_ptr) {}
boolean fill_input(j_decompress_ptr c) {
  // Past the end: a file that lacks only its final marker is complete.
  if (c->output_height != 0 && c->output_scanline >= c->output_height) {
    c->src->next_input_byte = kEndOfImage;
    c->src->bytes_in_buffer = 2;
    return TRUE;
  }
  ERREXIT(c, JERR_INPUT_EOF);
  return FALSE;
}
void skip_input(j_decompress_ptr c, long count) {
  if (count <= 0) return;
  if (size_t(count) > c->src->bytes_in_buffer) ERREXIT(c, JERR_INPUT_EOF);
  c->src->next_input_byte += count;
  c->src->bytes_in_buffer -= size_t(count);
}
void term_source(j_decompress_ptr) {}

void watch_scans(j_common_ptr c) {
  auto* d = reinterpret_cast<j_decompress_ptr>(c);
  if (d->input_scan_number > kMaxScans) ERREXIT(c, JERR_NOTIMPL);
}

uint32_t read_jpeg(jpeg_decompress_struct* c, ErrorManager* err, jpeg_progress_mgr* progress,
                   std::span<const uint8_t> bytes, DecodedImage& out) {
  volatile uint32_t result = kErrJpeg;
  if (setjmp(err->jump)) return result;
  jpeg_create_decompress(c);
  MemorySource* src = static_cast<MemorySource*>(
      (*c->mem->alloc_small)(reinterpret_cast<j_common_ptr>(c), JPOOL_PERMANENT, sizeof(MemorySource)));
  src->data = bytes.data();
  src->size = bytes.size();
  src->base.init_source = init_source;
  src->base.fill_input_buffer = fill_input;
  src->base.skip_input_data = skip_input;
  src->base.resync_to_restart = jpeg_resync_to_restart;
  src->base.term_source = term_source;
  src->base.next_input_byte = bytes.data();
  src->base.bytes_in_buffer = bytes.size();
  c->src = &src->base;
  progress->progress_monitor = watch_scans;
  c->progress = progress;
  jpeg_read_header(c, TRUE);
  if (c->image_width > uint32_t(kMaxImageSide) || c->image_height > uint32_t(kMaxImageSide)) {
    result = kErrTooLarge;
    std::longjmp(err->jump, 1);
  }
  const bool cmyk = c->jpeg_color_space == JCS_CMYK || c->jpeg_color_space == JCS_YCCK;
  c->out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
  jpeg_start_decompress(c);
  const size_t w = c->output_width, h = c->output_height;
  out.width = int32_t(w);
  out.height = int32_t(h);
  bool allocated = true;
  try {
    out.pixels.assign(w * h, 0);
  } catch (const std::bad_alloc&) {
    allocated = false;
  }
  if (!allocated) {
    result = kErrNoMemory;
    std::longjmp(err->jump, 1);
  }
  while (c->output_scanline < h) {
    uint32_t* row_pixels = out.pixels.data() + size_t(c->output_scanline) * w;
    JSAMPROW row = reinterpret_cast<JSAMPROW>(row_pixels);
    if (jpeg_read_scanlines(c, &row, 1) != 1) std::longjmp(err->jump, 1);
    if (cmyk) {
      // Stored inverted by the common writers: the byte is 255 - ink.
      const uint8_t* p = reinterpret_cast<const uint8_t*>(row_pixels);
      for (size_t x = 0; x < w; ++x, p += 4) {
        const uint32_t k = p[3];
        const uint32_t r = p[0] * k / 255, g = p[1] * k / 255, b = p[2] * k / 255;
        row_pixels[x] = 0xFF000000u | r << 16 | g << 8 | b;
      }
    }
  }
  jpeg_finish_decompress(c);
  return 0;
}

}  // namespace

uint32_t decode_jpeg(std::span<const uint8_t> bytes, DecodedImage& out) {
  out = DecodedImage{};
  jpeg_decompress_struct c{};
  ErrorManager err{};
  c.err = jpeg_std_error(&err.base);
  err.base.error_exit = on_error_exit;
  err.base.output_message = on_message;
  jpeg_progress_mgr progress{};
  const uint32_t result = read_jpeg(&c, &err, &progress, bytes, out);
  jpeg_destroy_decompress(&c);
  if (result != 0 && result != kErrNoMemory) out = DecodedImage{};
  if (result == kErrNoMemory) out.pixels.clear();
  return result;
}

}  // namespace nv::gfx
