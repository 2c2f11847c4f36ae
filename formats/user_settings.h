// nvcfg.dat, the user settings beside the title: 32 int32 words, written by
// the settings program (nvsettings) and read by the engine at start. Word 0
// movie player, 2 and 3 the pixel routine sets, 4 worker threads, 5 display
// object, 6 full-screen stretching; a word takes effect in the engine only
// when it is 0 or 1.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "formats/byte_writer.h"

namespace nv {

constexpr size_t kUserSettingWords = 32;
using UserSettingWords = std::array<int32_t, kUserSettingWords>;

struct UserSettings {
  bool movie_player_directshow = true;  // word 0
  bool allow_second_routines = true;    // word 2
  bool allow_third_routines = true;     // word 3
  bool two_workers = true;              // word 4
  bool draw_object = true;              // word 5
  bool stretch_fullscreen = false;      // word 6
};

// Overwrites the words an nvcfg.dat image holds (a short file holds the
// first few).
void read_user_setting_words(std::span<const uint8_t> file, UserSettingWords& words);

// Applies the words of an nvcfg.dat image to `s`.
void apply_user_settings(std::span<const uint8_t> file, UserSettings& s);

Bytes encode_user_settings(const UserSettingWords& words);

}  // namespace nv
