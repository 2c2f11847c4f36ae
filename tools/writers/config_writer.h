// nvbin\nvcfg.nbn, the title configuration ("NVCF"): the 16-byte header
// (count 1: one configuration record; 0 at 12), then int32 width at 16,
// height 20, shown 24, 8 image-extension codes at 28, 4 sound-extension
// codes at 36, int32 script thread 40, debug 44, sound 48, resizable 52,
// window frames 56, reserved 60, uint16 caption length at 64 and the caption
// (Shift-JIS) at 66.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "tools/writers/byte_writer.h"

namespace nv::writers {

struct ConfigModel {
  int32_t width = 640;   // 128 to 2048, or 0 with height 0 for the desktop size
  int32_t height = 480;  // 16 to 2048
  int32_t shown = 1;     // initial E of the main window
  std::array<uint8_t, 8> image_order = {1, 2, 3, 4, 0, 0, 0, 0};  // 1 .png, 2 .bmp, 3 .jpg, 4 .gif
  std::array<uint8_t, 4> sound_order = {1, 2, 0, 0};              // 1 .ogg, 2 .wav
  int32_t script_thread = 0;  // 0 or 1
  int32_t debug = 0;
  int32_t sound = 1;
  int32_t resizable = 0;
  int32_t frames = 1;  // window frames on
  std::string caption = "Nivalo";  // Shift-JIS, at most 128 bytes
};

// Throws for the values the engine refuses at start-up (size, script
// thread, caption length).
Bytes encode_config(const ConfigModel& config);

// nvcfg.dat, the user settings beside the title: 32 int32 words (word 0
// movie player, 2 and 3 pixel routines, 4 worker threads, 5 display object,
// 6 full-screen stretching; a word takes effect only when it is 0 or 1).
Bytes encode_user_settings(const std::array<int32_t, 32>& words);

}  // namespace nv::writers
