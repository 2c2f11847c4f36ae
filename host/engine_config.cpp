#include "host/engine_config.h"

#include <cstring>

#include "host/engine.h"
#include "resources/file_loader.h"
#include "runtime/error_report.h"

namespace nv {

namespace {

int32_t read_i32(std::span<const uint8_t> b, size_t at) {
  uint32_t v = uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
  return static_cast<int32_t>(v);
}

}  // namespace

uint32_t parse_engine_config(std::span<const uint8_t> f, EngineConfig& c) {
  constexpr size_t kFixed = 66;
  if (f.size() < kFixed) return 900000;
  c.screen_width = read_i32(f, 16);
  c.screen_height = read_i32(f, 20);
  c.initial_shown = read_i32(f, 24);
  std::memcpy(c.image_order.data(), f.data() + 28, 8);
  std::memcpy(c.sound_order.data(), f.data() + 36, 4);
  c.script_thread = read_i32(f, 40);
  c.debug_mode = read_i32(f, 44);
  c.sound_enabled = read_i32(f, 48);
  c.resizable = read_i32(f, 52);
  c.frame_setting = read_i32(f, 56);
  size_t n = size_t(f[64]) | size_t(f[65]) << 8;
  bool desktop = c.screen_width == 0 && c.screen_height == 0;
  if (!desktop && (c.screen_width < 128 || c.screen_width > 2048 || c.screen_height < 16 || c.screen_height > 2048))
    return 901020;
  if (c.script_thread != 0 && c.script_thread != 1) return 901020;
  if (n >= 129) return 901000;
  if (kFixed + n > f.size()) return 900000;
  c.caption.assign(reinterpret_cast<const char*>(f.data() + kFixed), n);
  if (c.caption.empty()) c.caption = " ";
  return 0;
}

int load_engine_config(Engine& e) {
  FileRequest req;
  if (load_file(e, "nvbin\\nvcfg.nbn", req) != kLoadOk) return -1;
  uint32_t code = parse_engine_config(req.data, e.config);
  if (code != 0) {
    report_ex(e, code, ReportFlags{.stop = true, .framed = false});
    return -1;
  }
  return 0;
}

void apply_user_settings(std::span<const uint8_t> f, UserSettings& s) {
  bool* by_word[7] = {&s.movie_player_directshow, nullptr, &s.allow_second_routines, &s.allow_third_routines,
                      &s.two_workers, &s.draw_object, &s.stretch_fullscreen};
  for (size_t w = 0; w < 7 && (w + 1) * 4 <= f.size(); ++w) {
    int32_t v = read_i32(f, w * 4);
    if (by_word[w] && (v == 0 || v == 1)) *by_word[w] = v == 1;
  }
}

uint8_t os_code_for_build(uint32_t build) {
  struct Row {
    uint16_t from, to;
    uint8_t code;
  };
  static constexpr Row kRows[] = {
      {950, 950, 1},   {1111, 1111, 2}, {1212, 1212, 3}, {1214, 1214, 4}, {1057, 1057, 12},
      {1381, 1381, 13}, {1998, 1998, 20}, {2222, 2222, 21}, {3000, 3000, 30}, {2195, 2195, 40},
      {2211, 2211, 45}, {2223, 2223, 45}, {2239, 2239, 45}, {2247, 2247, 45}, {2250, 2250, 45},
      {2257, 2257, 45}, {2600, 2600, 50}, {3790, 3790, 60}, {5219, 5219, 65}, {5260, 5260, 65},
      {5270, 5270, 65}, {5381, 5381, 65}, {5384, 5384, 65}, {5536, 5536, 65}, {5568, 5568, 65},
      {5600, 5600, 65}, {5743, 5743, 65}, {6000, 6002, 70}, {6801, 6801, 80}, {7000, 7000, 80},
      {7100, 7100, 80}, {7600, 7600, 80},
  };
  uint32_t b = build & 0xFFFF;
  for (const Row& r : kRows)
    if (b >= r.from && b <= r.to) return r.code;
  return 255;
}

}  // namespace nv
