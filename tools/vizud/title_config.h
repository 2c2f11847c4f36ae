// The title configuration: read from the project's title.cfg ("key = value"
// lines) and written as nvbin/nvcfg.nbn.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/vizud/diagnostics.h"

namespace nv::vizud {

struct TitleConfig {
  int width = 800;   // 0 by 0: the desktop size
  int height = 600;
  int shown = 1;     // initial E of the main window
  std::array<uint8_t, 4> image_order{1, 2, 3, 4};  // 1 .png, 2 .bmp, 3 .jpg, 4 .gif
  std::array<uint8_t, 2> sound_order{1, 2};        // 1 .ogg, 2 .wav
  int script_thread = 0;
  int debug = 0;
  int sound = 1;
  int resizable = 0;
  int frame = 1;     // window frame setting of the main window
  std::string caption = "Nivalo";  // Shift-JIS
};

// Parses title.cfg lines (already Shift-JIS). Unknown keys and bad values
// are reported with their position.
bool parse_title_config(const std::vector<std::string>& lines, const std::string& file, TitleConfig& out,
                        Diagnostics& diag);

}  // namespace nv::vizud
