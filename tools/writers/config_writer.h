// The title configuration (nvbin\nvcfg.nbn) and the user settings
// (nvcfg.dat) as the toolchain writes them; the layouts are
// formats/title_config.h and formats/user_settings.h.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "formats/byte_writer.h"
#include "formats/user_settings.h"

namespace nv::writers {

// A title's configuration with the compiler's defaults.
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

// Throws WriteError for the values the engine refuses at start-up (size,
// script thread, caption length).
Bytes encode_config(const ConfigModel& config);

}  // namespace nv::writers
