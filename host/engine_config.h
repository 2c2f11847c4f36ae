// The title configuration (nvbin\nvcfg.nbn) and the user settings
// (nvcfg.dat) as the engine keeps them.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace nv {

struct Engine;

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

// Parses an nvcfg.nbn image. Returns 0, or the error code its contents call
// for: 901020 (screen size or script-thread value), 901000 (caption of 129
// bytes or more), 900000 (a block too short for its fields).
uint32_t parse_engine_config(std::span<const uint8_t> file, EngineConfig& out);

// Reads nvbin\nvcfg.nbn through the file loader into e.config and reports
// its errors. Returns 0 or -1.
int load_engine_config(Engine& e);

// nvcfg.dat: 32 int32 words; a word takes effect only when it is 0 or 1.
struct UserSettings {
  bool movie_player_directshow = true;  // word 0
  bool allow_second_routines = true;    // word 2
  bool allow_third_routines = true;     // word 3
  bool two_workers = true;              // word 4
  bool draw_object = true;              // word 5
  bool stretch_fullscreen = false;      // word 6
};

// Applies the words of an nvcfg.dat image to `s` (a short file applies the
// words it holds).
void apply_user_settings(std::span<const uint8_t> file, UserSettings& s);

// The engine's OS code for a Windows build number; 255 for anything else.
uint8_t os_code_for_build(uint32_t build);

}  // namespace nv
