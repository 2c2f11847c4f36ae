#include "platform/input_box.h"

#include <algorithm>
#include <vector>

#include "platform/clipboard.h"
#include "platform/encoding.h"

namespace nv::platform {

namespace {

bool lead_byte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

size_t char_len_at(const std::string& s, size_t pos) {
  return (pos + 1 < s.size() && lead_byte(static_cast<unsigned char>(s[pos]))) ? 2 : 1;
}

size_t char_count(const std::string& s) {
  size_t n = 0;
  for (size_t i = 0; i < s.size(); i += char_len_at(s, i)) ++n;
  return n;
}

// The byte offset of the character before `pos`.
size_t previous_char(const std::string& s, size_t pos) {
  size_t i = 0, prev = 0;
  while (i < pos) {
    prev = i;
    i += char_len_at(s, i);
  }
  return prev;
}

std::vector<std::string_view> lines_of(std::string_view s) {
  std::vector<std::string_view> out;
  while (true) {
    size_t nl = s.find('\n');
    std::string_view line = s.substr(0, nl);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    out.push_back(line);
    if (nl == std::string_view::npos) break;
    s.remove_prefix(nl + 1);
  }
  return out;
}

constexpr uint32_t kFace = 0xFFF0F0F0u, kText = 0xFF000000u, kFieldBack = 0xFFFFFFFFu;
constexpr uint32_t kButton = 0xFFE1E1E1u, kButtonDown = 0xFFCCE4F7u, kFocus = 0xFF0078D7u;

void frame_rect(PixelBuffer& b, const Rect& r, uint32_t c) {
  fill_rect(b, r.left, r.top, r.width(), 1, c);
  fill_rect(b, r.left, r.bottom - 1, r.width(), 1, c);
  fill_rect(b, r.left, r.top, 1, r.height(), c);
  fill_rect(b, r.right - 1, r.top, 1, r.height(), c);
}

}  // namespace

InputField::InputField(std::string_view initial, int limit) : limit_(limit) {
  // The default text obeys the same limits as typed text.
  std::string s(initial);
  size_t i = 0, chars = 0;
  while (i < s.size()) {
    const size_t len = char_len_at(s, i);
    if (i + len > kInputBoxMaxBytes || (limit_ > 0 && chars >= size_t(limit_))) break;
    i += len;
    ++chars;
  }
  text_ = s.substr(0, i);
  caret_ = text_.size();
}

void InputField::type(std::string_view utf8) {
  const std::string sjis = clipboard_utf8_to_sjis(utf8);
  size_t chars = char_count(text_);
  for (size_t i = 0; i < sjis.size();) {
    const size_t len = char_len_at(sjis, i);
    const auto c = static_cast<unsigned char>(sjis[i]);
    const bool control = len == 1 && (c < 0x20 || c == 0x7F);
    if (!control) {
      if (text_.size() + len > kInputBoxMaxBytes || (limit_ > 0 && chars >= size_t(limit_))) break;
      if (len == 2 || !lead_byte(c)) {  // never a lone lead byte
        text_.insert(caret_, sjis, i, len);
        caret_ += len;
        ++chars;
      }
    }
    i += len;
  }
}

void InputField::backspace() {
  if (caret_ == 0) return;
  const size_t p = previous_char(text_, caret_);
  text_.erase(p, caret_ - p);
  caret_ = p;
}

void InputField::erase() {
  if (caret_ < text_.size()) text_.erase(caret_, char_len_at(text_, caret_));
}

void InputField::left() {
  if (caret_ > 0) caret_ = previous_char(text_, caret_);
}

void InputField::right() {
  if (caret_ < text_.size()) caret_ += char_len_at(text_, caret_);
}

void InputField::home() { caret_ = 0; }
void InputField::end() { caret_ = text_.size(); }

InputBoxLayout layout_input_box(const InputBoxSpec& spec, UiFont& font) {
  InputBoxLayout l;
  const int lh = font.line_height();
  const int margin = 12;
  int prompt_w = 0;
  const std::vector<std::string_view> lines = lines_of(spec.prompt);
  for (std::string_view line : lines) prompt_w = std::max(prompt_w, font.text_width(sjis_to_utf8(line)));
  const int ok_w = std::max(75, font.text_width("OK") + 24), ok_h = lh + 10;
  l.width = std::max({320, prompt_w + 2 * margin, ok_w + 2 * margin});
  l.width = std::min(l.width, 800);
  const int prompt_h = int(lines.size()) * lh;
  l.prompt = {margin, margin, l.width - margin, margin + prompt_h};
  l.field = {margin, l.prompt.bottom + 8, l.width - margin, l.prompt.bottom + 8 + lh + 8};
  l.ok = {l.width - margin - ok_w, l.field.bottom + 12, l.width - margin, l.field.bottom + 12 + ok_h};
  l.height = l.ok.bottom + margin;
  return l;
}

PixelBuffer draw_input_box(const InputBoxSpec& spec, const InputBoxLayout& l, const InputField& field, bool caret_on,
                           bool ok_pressed, UiFont& font, int* caret_x) {
  PixelBuffer b(l.width, l.height, kFace);
  const int lh = font.line_height();
  int y = l.prompt.top;
  for (std::string_view line : lines_of(spec.prompt)) {
    font.draw_text(b, l.prompt.left, y, sjis_to_utf8(line), kText);
    y += lh;
  }
  fill_rect(b, l.field.left, l.field.top, l.field.width(), l.field.height(), kFieldBack);
  frame_rect(b, l.field, kFocus);
  // The text scrolls so that the caret and the composition stay in view.
  const std::string before = sjis_to_utf8(std::string_view(field.text()).substr(0, field.caret()));
  const std::string after = sjis_to_utf8(std::string_view(field.text()).substr(field.caret()));
  const int inner = l.field.width() - 8;
  const int w_before = font.text_width(before), w_comp = font.text_width(field.composition());
  const int shift = std::max(0, w_before + w_comp - inner + 2);
  PixelBuffer text(inner, lh, kFieldBack);
  int x = -shift;
  font.draw_text(text, x, 0, before, kText);
  x += w_before;
  if (!field.composition().empty()) {
    font.draw_text(text, x, 0, field.composition(), kText);
    fill_rect(text, x, lh - 1, w_comp, 1, kText);  // composed text is underlined
    x += w_comp;
  }
  const int caret = x;
  font.draw_text(text, x, 0, after, kText);
  if (caret_on) fill_rect(text, caret, 0, 1, lh, kText);
  const int tx = l.field.left + 4, ty = l.field.top + (l.field.height() - lh) / 2;
  for (int row = 0; row < lh; ++row)
    for (int col = 0; col < inner; ++col)
      if (tx + col < b.width && ty + row < b.height)
        b.pixels[size_t(ty + row) * size_t(b.width) + size_t(tx + col)] = text.at(col, row);
  if (caret_x) *caret_x = tx + caret;
  fill_rect(b, l.ok.left, l.ok.top, l.ok.width(), l.ok.height(), ok_pressed ? kButtonDown : kButton);
  frame_rect(b, l.ok, kFocus);
  const int ok_w = font.text_width("OK");
  font.draw_text(b, l.ok.left + (l.ok.width() - ok_w) / 2, l.ok.top + (l.ok.height() - lh) / 2, "OK", kText);
  return b;
}

}  // namespace nv::platform
