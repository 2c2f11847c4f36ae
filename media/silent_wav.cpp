#include "media/sound_channel.h"

namespace nv::media {

const std::vector<uint8_t>& silent_wav() {
  static const std::vector<uint8_t> wav = [] {
    std::vector<uint8_t> w(1930, 0);
    size_t at = 0;
    auto tag = [&](const char* t) {
      for (int i = 0; i < 4; ++i) w[at++] = uint8_t(t[i]);
    };
    auto u16 = [&](uint32_t v) {
      w[at++] = uint8_t(v);
      w[at++] = uint8_t(v >> 8);
    };
    auto u32 = [&](uint32_t v) {
      u16(v & 0xFFFF);
      u16(v >> 16);
    };
    tag("RIFF"), u32(1922), tag("WAVE");
    tag("fmt "), u32(18), u16(1), u16(2), u32(44100), u32(176400), u16(4), u16(16), u16(0);
    tag("fact"), u32(4), u32(468);
    tag("data"), u32(1872);
    return w;
  }();
  return wav;
}

}  // namespace nv::media
