// nvbin\nvcfg.nbn, the title configuration ("NVCF"): the 16-byte header
// (count 1: one configuration record; 0 at 12), then int32 width at 16,
// height 20, shown 24, 8 image-extension codes at 28, 4 sound-extension
// codes at 36, int32 script thread 40, debug 44, sound 48, resizable 52,
// window frames 56, reserved 60, uint16 caption length at 64 and the caption
// (Shift-JIS) at 66. The engine reads it, the toolchain writes it.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "formats/byte_writer.h"

namespace nv {

struct EngineConfig {
  int32_t screen_width = 0;   // 0 by 0: the desktop size
  int32_t screen_height = 0;
  int32_t initial_shown = 1;  // E of the main window
  std::array<uint8_t, 8> image_order{1, 2, 3, 4, 0, 0, 0, 0};  // 1 png, 2 bmp, 3 jpg, 4 gif
  std::array<uint8_t, 4> sound_order{1, 2, 0, 0};              // 1 ogg, 2 wav
  int32_t script_thread = 0;
  int32_t debug_mode = 0;
  int32_t sound_enabled = 1;
  int32_t resizable = 0;
  int32_t frame_setting = 0;
  std::string caption = " ";  // Shift-JIS, at most 128 bytes
};

constexpr size_t kMaxCaptionBytes = 128;

// The value rules the engine applies at start-up: a width of 128 to 2048
// and a height of 16 to 2048, or 0 by 0 for the desktop size; a script
// thread setting of 0 or 1.
constexpr bool screen_size_allowed(int32_t w, int32_t h) {
  return (w == 0 && h == 0) || (w >= 128 && w <= 2048 && h >= 16 && h <= 2048);
}
constexpr bool script_thread_allowed(int32_t v) { return v == 0 || v == 1; }

// Parses an nvcfg.nbn image. Returns 0, or the error code its contents call
// for: 901020 (screen size or script-thread value), 901000 (caption of 129
// bytes or more), 900000 (a block too short for its fields).
uint32_t parse_engine_config(std::span<const uint8_t> file, EngineConfig& out);

// The file for `config`, whose values the caller has checked by the rules
// above.
Bytes encode_engine_config(const EngineConfig& config);

}  // namespace nv
