// A decoded picture in the engine's pixel format, and the image decoders.
//
// Pixels are 32 bits, bytes blue, green, red, alpha, rows top-down, row
// stride width x 4 bytes. Decoders return 0 or the error number the loader
// reports (see image_error_texts.h); files are untrusted, so every count and
// offset is checked against the data before it is used, and the size limits
// hold before any pixel buffer is allocated.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "resources/file_loader.h"

namespace nv::gfx {

// Largest width and height any decoder accepts.
constexpr int32_t kMaxImageSide = 8192;
// Largest number of frames kept from one GIF.
constexpr size_t kMaxGifFrames = 8192;
// Pixel with alpha 0 after every load: grey, transparent.
constexpr uint32_t kTransparentGrey = 0x00808080u;

// One frame of a GIF, as the file gives it. The rectangle is clipped to the
// logical screen, so `indices` never holds more than the screen's pixels.
struct GifFrame {
  int32_t left = 0, top = 0, width = 0, height = 0;
  uint8_t disposal = 0;          // graphic control disposal method 0..7
  bool transparent = false;      // graphic control transparency bit
  uint16_t delay = 0;            // hundredths of a second
  uint8_t transparent_index = 0;
  uint16_t loop_count = 0;       // from the looping application extension
  std::array<uint8_t, 768> palette{};  // 256 x red, green, blue
  std::vector<uint8_t> indices;        // width x height, rows top-down
};

struct DecodedImage {
  int32_t width = 0, height = 0;
  std::vector<uint32_t> pixels;  // width x height
  bool alpha = false;            // pixels carry meaningful per-pixel alpha
  std::vector<GifFrame> frames;  // GIF only; the first one is drawn in `pixels`
  uint32_t loaded_at_ms = 0;     // millisecond clock when load_image finished
};

// Byte budget of all GIF frame index buffers of one file; a file that would
// need more is treated as an allocation failure.
constexpr size_t kGifFrameBudget = size_t(1) << 30;

// Error numbers the decoders return (texts in image_error_texts.h).
constexpr uint32_t kErrUnsupportedFile = 100030;
constexpr uint32_t kErrNoMemory = 100010;  // `out.width`/`out.height` hold the size that failed
constexpr uint32_t kErrNotBmp = 100070;
constexpr uint32_t kErrBadBmp = 100080;
constexpr uint32_t kErrRleBmp = 100090;
constexpr uint32_t kErrTooLarge = 100091;
constexpr uint32_t kErrTopDownBmp = 100092;
constexpr uint32_t kErrPng = 100200;
constexpr uint32_t kErrJpeg = 100210;
constexpr uint32_t kErrGif = 100215;
constexpr uint32_t kErrPsd = 100220;

// Each decoder resets `out` and fills it; pixels are not yet normalised.
uint32_t decode_bmp(std::span<const uint8_t> bytes, DecodedImage& out);
uint32_t decode_png(std::span<const uint8_t> bytes, DecodedImage& out);
uint32_t decode_jpeg(std::span<const uint8_t> bytes, DecodedImage& out);
uint32_t decode_gif(std::span<const uint8_t> bytes, DecodedImage& out, size_t frame_budget = kGifFrameBudget);

// Chooses the decoder by type code (PSD and non-image codes refused), and on
// success turns every pixel with alpha 0 into kTransparentGrey.
uint32_t decode_image(FileType type, std::span<const uint8_t> bytes, DecodedImage& out);

// Every pixel whose alpha byte is 0 becomes kTransparentGrey.
void normalize_transparent(DecodedImage& img);

// Loads the picture `name` (Shift-JIS) through the file loader. An empty
// name, or one that matches no file, gives the 1 x 1 transparent grey image
// without an error. Failures are reported (with `command` for 100030) and
// give -1; success gives 0. `out.loaded_at_ms` is the clock at the end.
int load_image(Engine& e, std::string_view name, DecodedImage& out, std::string_view command = "CG");

}  // namespace nv::gfx
