// Where a character of message text goes: automatic line returns at the
// right edge, the Japanese line-breaking lists, and the bottom of the layer.
#pragma once

#include <cstdint>

namespace nv::text {

// Shift-JIS codes the rules name.
constexpr uint16_t kSjisExclamation = 0x8149;  // ！
constexpr uint16_t kSjisQuestion = 0x8148;     // ？

// Double-byte characters that may take the last cell of a line: 、 。 small
// kana (ッ ョ ュ ャ ォ ェ ゥ ィ ァ っ ょ ゅ ゃ ぉ ぇ ぅ ぃ ぁ) ？ ！ （.
bool may_end_line(uint16_t code);
// Opening brackets that do not start within the last three cells: 「 『 （.
bool is_opening_bracket(uint16_t code);

struct PlaceInput {
  int64_t x = 0, y = 0;          // cursor
  int32_t w = 0, h = 0;          // the character's SX and SY
  int32_t next_h = 0;            // SY of the item after it (its own SY when none)
  int32_t width = 0, height = 0; // the layer
  uint16_t code = 0;             // Shift-JIS; above 0xFF for a double-byte character
  bool next_is_question = false; // the next item is the character ？
};

struct Placement {
  int64_t x = 0, y = 0;  // where the character is drawn (the cursor, or the start of a new line)
  bool skip = false;     // the bottom is reached: this character and the rest are not drawn
  bool pair = false;     // ！ followed by ？: the ？ goes on this line too
};

// The rules, with "reaches" meaning "is at least":
// - y + next_h + 2 reaches the height: skip;
// - x + 2 + w reaches the width: a new line (x 0, y + h), then the bottom test;
// - one more cell fits (x + 2 + 2w reaches the width): a double-byte
//   character that may end a line stays, anything else starts a new line;
// - two or three more fit (x + 2 + 4w reaches the width), double-byte: ！
//   before ？ stays with it as a pair, an opening bracket starts a new line;
// - otherwise the character is drawn at the cursor.
Placement place_character(const PlaceInput& in);

}  // namespace nv::text
