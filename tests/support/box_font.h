// A font for tests of engine-drawn pictures: every character is a filled
// box, 6 pixels wide for ASCII and 12 for anything else, 12 pixels high,
// so that widths and where text lands are known exactly.
#pragma once

#include <string_view>

#include "platform/ui_font.h"

namespace nv::test {

class BoxFont final : public platform::UiFont {
 public:
  static constexpr int kHeight = 12;
  int line_height() override { return kHeight; }
  int ascent() override { return 10; }
  int text_width(std::string_view utf8) override {
    int w = 0;
    for_each_char(utf8, [&](bool ascii) { w += ascii ? 6 : 12; });
    return w;
  }
  void draw_text(platform::PixelBuffer& b, int x, int y, std::string_view utf8, uint32_t bgra) override {
    for_each_char(utf8, [&](bool ascii) {
      const int w = ascii ? 6 : 12;
      platform::fill_rect(b, x + 1, y + 2, w - 2, kHeight - 4, bgra);
      x += w;
    });
  }

 private:
  template <typename F>
  static void for_each_char(std::string_view s, F f) {
    for (size_t i = 0; i < s.size();) {
      const auto c = static_cast<unsigned char>(s[i]);
      const size_t len = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
      f(c < 0x80);
      i += len;
    }
  }
};

}  // namespace nv::test
