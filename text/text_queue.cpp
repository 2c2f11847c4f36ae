#include "text/text_queue.h"

#include <cstdint>
#include <string>

#include "formats/sjis_text.h"

namespace nv::text {

namespace {

TextItem item_with_attrs(const TextState& s, char kind) {
  TextItem it;
  it.kind = kind;
  it.color = s.attrs.color;
  it.color2 = s.attrs.color2;
  it.sx = s.attrs.sx;
  it.sy = s.attrs.sy;
  it.bold = s.attrs.bold;
  return it;
}

size_t characters_in(std::string_view text) {
  size_t n = 0;
  for (size_t i = 0; i < text.size(); i = sjis::next_char(text, i)) ++n;
  return n;
}

// A single byte `_` shows as itself: printable ASCII and half-width katakana.
bool shown_as_is(uint8_t b) { return (b >= 0x20 && b <= 0x7E) || (b >= 0xA1 && b <= 0xDF); }

void queue_characters(TextState& s, std::string_view text, bool replace_control) {
  s.items.reserve(s.items.size() + characters_in(text));
  for (size_t i = 0; i < text.size(); i = sjis::next_char(text, i)) {
    const auto b = uint8_t(text[i]);
    if (sjis::char_length_at(text, i) == 2) {
      TextItem it = item_with_attrs(s, item::double_byte);
      it.code = uint16_t(b << 8 | uint8_t(text[i + 1]));
      it.delay_ms = s.wait_ms;
      s.items.push_back(it);
    } else {
      TextItem it = item_with_attrs(s, item::single);
      it.code = replace_control && !shown_as_is(b) ? uint16_t(' ') : b;
      it.delay_ms = s.wait_ms / 2;
      s.items.push_back(it);
    }
  }
  s.text_bytes += text.size();
}

bool items_fit(const TextState& s, size_t more) { return more <= kMaxTextItems - s.items.size(); }

}  // namespace

int queue_value_text(TextState& s, std::string_view text) {
  if (s.text_bytes + text.size() > kMaxValueTextBytes) return kErrTooMuchText;
  if (text.size() > kMaxValueTextPiece) return kErrValueTextTooLong;
  if (!items_fit(s, characters_in(text))) return kErrTooMuchText;
  queue_characters(s, text, true);
  return 0;
}

int queue_word_text(TextState& s, std::string_view text) {
  if (s.text_bytes + text.size() >= kMaxWordTextBytes) return kErrTooMuchText;
  if (!items_fit(s, characters_in(text))) return kErrTooMuchText;
  queue_characters(s, text, false);
  return 0;
}

int queue_controls(TextState& s, std::string_view kinds) {
  if (!items_fit(s, kinds.size())) return kErrTooMuchText;
  for (char k : kinds) s.items.push_back(item_with_attrs(s, k));
  return 0;
}

int queue_line_end(TextState& s) {
  std::string kinds;
  if (s.output_mode != 0) {
    if (s.auto_click) kinds += item::click;
    if (s.auto_return) kinds += item::line;
    if (s.auto_page) kinds += item::page;
  }
  kinds += item::end;
  if (!items_fit(s, kinds.size())) return kErrTooMuchText;
  if (s.output_mode == 0) s.clear_request = true;
  return queue_controls(s, kinds);
}

void empty_queue(TextState& s) {
  s.items.clear();
  s.text_bytes = 0;
  s.next = 0;
  s.click_wait = false;
  s.skip = false;
  s.pair_pending = false;
  s.time_base_set = false;
}

}  // namespace nv::text
