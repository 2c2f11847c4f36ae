// The title configuration (nvcfg.nbn) and the user settings (nvcfg.dat)
// from the input; the first byte picks the file. A configuration the parser
// accepts is written again and must read back the same.
#include <cstddef>
#include <cstdint>
#include <span>

#include "formats/title_config.h"
#include "formats/user_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  std::span<const uint8_t> file(data + 1, size - 1);
  if (data[0] & 1) {
    nv::UserSettingWords words{};
    nv::read_user_setting_words(file, words);
    nv::UserSettings s;
    nv::apply_user_settings(file, s);
    return 0;
  }
  nv::EngineConfig c;
  if (nv::parse_engine_config(file, c) != 0) return 0;
  nv::EngineConfig again;
  if (nv::parse_engine_config(nv::encode_engine_config(c), again) != 0) __builtin_trap();
  if (again.caption != c.caption || again.screen_width != c.screen_width || again.screen_height != c.screen_height ||
      again.image_order != c.image_order || again.sound_order != c.sound_order ||
      again.script_thread != c.script_thread)
    __builtin_trap();
  return 0;
}
