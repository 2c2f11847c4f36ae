#include "formats/title_config.h"

#include <cstring>

#include "formats/byte_reader.h"
#include "formats/file_header.h"

namespace nv {

namespace {
constexpr size_t kFixedSize = 66;  // everything before the caption
}  // namespace

uint32_t parse_engine_config(std::span<const uint8_t> f, EngineConfig& c) {
  if (f.size() < kFixedSize) return 900000;
  auto i32 = [&](size_t at) { return static_cast<int32_t>(load_u32(f, at)); };
  c.screen_width = i32(16);
  c.screen_height = i32(20);
  c.initial_shown = i32(24);
  std::memcpy(c.image_order.data(), f.data() + 28, 8);
  std::memcpy(c.sound_order.data(), f.data() + 36, 4);
  c.script_thread = i32(40);
  c.debug_mode = i32(44);
  c.sound_enabled = i32(48);
  c.resizable = i32(52);
  c.frame_setting = i32(56);
  size_t n = load_u16(f.data() + 64);
  if (!screen_size_allowed(c.screen_width, c.screen_height)) return 901020;
  if (!script_thread_allowed(c.script_thread)) return 901020;
  if (n > kMaxCaptionBytes) return 901000;
  if (kFixedSize + n > f.size()) return 900000;
  c.caption.assign(reinterpret_cast<const char*>(f.data() + kFixedSize), n);
  if (c.caption.empty()) c.caption = " ";
  return 0;
}

Bytes encode_engine_config(const EngineConfig& c) {
  ByteWriter w;
  w.magic("NVCF");
  w.u32(kFormatVersion);
  w.u32(1);
  w.u32(0);
  w.i32(c.screen_width);
  w.i32(c.screen_height);
  w.i32(c.initial_shown);
  w.bytes(c.image_order);
  w.bytes(c.sound_order);
  w.i32(c.script_thread);
  w.i32(c.debug_mode);
  w.i32(c.sound_enabled);
  w.i32(c.resizable);
  w.i32(c.frame_setting);
  w.i32(0);
  w.u16(static_cast<uint16_t>(c.caption.size()));
  w.text(c.caption);
  return w.take();
}

}  // namespace nv
