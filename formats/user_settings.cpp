#include "formats/user_settings.h"

#include "formats/byte_reader.h"

namespace nv {

void read_user_setting_words(std::span<const uint8_t> f, UserSettingWords& words) {
  for (size_t w = 0; w < words.size() && (w + 1) * 4 <= f.size(); ++w) words[w] = static_cast<int32_t>(load_u32(f, w * 4));
}

void apply_user_settings(std::span<const uint8_t> f, UserSettings& s) {
  bool* by_word[7] = {&s.movie_player_directshow, nullptr, &s.allow_second_routines, &s.allow_third_routines,
                      &s.two_workers, &s.draw_object, &s.stretch_fullscreen};
  UserSettingWords words{};
  read_user_setting_words(f, words);
  for (size_t w = 0; w < 7 && (w + 1) * 4 <= f.size(); ++w) {
    int32_t v = words[w];
    if (by_word[w] && (v == 0 || v == 1)) *by_word[w] = v == 1;
  }
}

Bytes encode_user_settings(const UserSettingWords& words) {
  ByteWriter w;
  for (int32_t v : words) w.i32(v);
  return w.take();
}

}  // namespace nv
