// The message text output: its settings, the queue of characters and
// control items waiting to be drawn, and where the output stands.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace nv::text {

constexpr int32_t kNoTextKey = 1023;  // a click or skip key that is not set
constexpr size_t kMaxTextItems = 8192;       // queued items
constexpr size_t kMaxValueTextBytes = 8189;  // buffer limit for `_`
constexpr size_t kMaxWordTextBytes = 8191;   // buffer limit WORD may not reach
constexpr size_t kMaxValueTextPiece = 1024;  // longest text one `_` may add

// A font slot's attributes (FONT). The message slot's are copied into the
// text state: each queued character takes its colours, size and weight, and
// the output reads the font, anti-aliasing and draw mode when it draws.
struct FontSlot {
  int32_t font = 0;  // position in the font list
  int32_t sx = 16, sy = 16;
  uint32_t color = 0xFFFFFF;
  int32_t color2 = -1;
  bool bold = false;
  int32_t drawmode = 0;
  bool antialias = false;
};

// Item kinds.
namespace item {
constexpr char single = '1';       // single-byte character
constexpr char double_byte = '2';  // double-byte character
constexpr char click = 'C';        // wait for a click
constexpr char line = 'R';         // line return
constexpr char click_line = 'r';
constexpr char page = 'P';         // clear the layer, cursor to the top-left
constexpr char click_page = 'p';
constexpr char end = 'E';          // no effect
}  // namespace item

struct TextItem {
  char kind = item::end;
  uint16_t code = 0;  // characters: Shift-JIS, as in GlyphKey
  uint32_t color = 0;
  int32_t color2 = -1;
  int32_t sx = 1, sy = 1;
  bool bold = false;
  uint32_t delay_ms = 0;
};

class KeyStates;

struct TextState {
  // Settings (TEXT).
  std::string target;         // the layer the text goes to: its normalised path, empty for none
  bool target_is_set = false;
  int32_t output_mode = 0;
  uint32_t wait_ms = 0;  // per double-byte character; half for a single byte
  bool auto_return = false, auto_page = false, auto_click = false;
  std::array<int32_t, 4> click_keys{kNoTextKey, kNoTextKey, kNoTextKey, kNoTextKey};
  std::array<int32_t, 4> skip_keys{kNoTextKey, kNoTextKey, kNoTextKey, kNoTextKey};
  FontSlot attrs;  // slot 0's attributes

  // The queue.
  size_t text_bytes = 0;  // bytes of text the queued characters came from
  std::vector<TextItem> items;
  size_t next = 0;  // the next item to output

  // Where the output stands.
  int64_t cursor_x = 0, cursor_y = 0;
  bool click_wait = false;     // stopped on a click item
  bool clear_request = false;  // clear the layer before the next character
  bool skip = false;           // output without character delays
  bool bottom_reached = false; // characters are dropped until the next page
  bool pair_pending = false;   // the next character goes beside ！ whatever the rules say
  bool time_base_set = false;
  uint64_t time_base_ms = 0;   // when the last delay ended

  // Input: where key states come from (null: no key is down), the frame
  // they belong to, and the frame whose click was used. A click releases
  // one wait however often the output steps within its frame.
  const KeyStates* keys = nullptr;
  uint64_t input_frame = 0;
  uint64_t click_used_frame = UINT64_MAX;
  uint64_t stepped_walk = 0;  // the walk the output last stepped in
};

}  // namespace nv::text
