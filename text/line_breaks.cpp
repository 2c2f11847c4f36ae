#include "text/line_breaks.h"

#include <algorithm>
#include <array>

#include "text/glyph.h"

namespace nv::text {

namespace {

// Sorted for the binary search.
constexpr std::array<uint16_t, 23> kMayEndLine = {
    0x8141,  // 、
    0x8142,  // 。
    0x8148,  // ？
    0x8149,  // ！
    0x8169,  // （
    0x829F,  // ぁ
    0x82A1,  // ぃ
    0x82A3,  // ぅ
    0x82A5,  // ぇ
    0x82A7,  // ぉ
    0x82C1,  // っ
    0x82E1,  // ゃ
    0x82E3,  // ゅ
    0x82E5,  // ょ
    0x8340,  // ァ
    0x8342,  // ィ
    0x8344,  // ゥ
    0x8346,  // ェ
    0x8348,  // ォ
    0x8362,  // ッ
    0x8383,  // ャ
    0x8385,  // ュ
    0x8387,  // ョ
};
static_assert(std::is_sorted(kMayEndLine.begin(), kMayEndLine.end()));

}  // namespace

bool may_end_line(uint16_t code) { return std::binary_search(kMayEndLine.begin(), kMayEndLine.end(), code); }

bool is_opening_bracket(uint16_t code) {
  return code == 0x8175 /* 「 */ || code == 0x8177 /* 『 */ || code == 0x8169 /* （ */;
}

Placement place_character(const PlaceInput& in) {
  Placement p{in.x, in.y, false, false};
  const bool double_byte = is_double_byte_code(in.code);
  auto below_bottom = [&] { return p.y + in.next_h + 2 >= in.height; };
  auto new_line = [&] {
    p.x = 0;
    p.y += in.h;
    p.skip = below_bottom();
  };
  if (below_bottom()) {
    p.skip = true;
  } else if (p.x + 2 + in.w >= in.width) {
    new_line();
  } else if (p.x + 2 + 2 * int64_t(in.w) >= in.width) {
    if (!(double_byte && may_end_line(in.code))) new_line();
  } else if (p.x + 2 + 4 * int64_t(in.w) >= in.width && double_byte) {
    if (in.code == kSjisExclamation && in.next_is_question) {
      p.pair = true;
    } else if (is_opening_bracket(in.code)) {
      new_line();
    }
  }
  return p;
}

}  // namespace nv::text
