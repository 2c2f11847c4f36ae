// FONT and FONTINFO: the font slots' attributes, and what scripts may ask
// of the fonts.
#include <string_view>

#include "core/assign_kind.h"
#include "core/engine.h"
#include "core/error_report.h"
#include "formats/command_table.h"
#include "formats/sjis_text.h"
#include "runtime/arg_eval.h"
#include "runtime/arg_slots.h"
#include "runtime/output_target.h"
#include "text/font_state.h"
#include "text/text_commands.h"

namespace nv::text {

namespace {

constexpr int64_t kMaxColour = 0xFFFFFF;

// The font a NO keyword names (1-based), or the current one without it;
// -1 after reporting a number out of the list.
int32_t font_number(Engine& e, std::string_view command, int keyword, int32_t current) {
  const ArgSlots& a = e.args;
  if (!a.has(keyword)) return current;
  const int64_t no = a.at(keyword).value;
  const int64_t count = int64_t(ready_fonts(e).list.entries.size());
  if (no < 1) return report(e, 101010, {command, "NO", no, 1});
  if (no > count) return report(e, 101240, {command, "NO", no, count});
  return int32_t(no - 1);
}

// A ranged attribute from its keyword: the keyword's assignment kind
// applied to the current value, clamped into lo..hi.
template <typename T>
void take(const ArgSlots& a, int keyword, T& field, int64_t lo, int64_t hi) {
  if (!a.has(keyword)) return;
  const ArgSlot& s = a.at(keyword);
  field = T(apply_kind_in_range(int64_t(field), s.value, s.assign_op, lo, hi));
}

}  // namespace

int font_command(Engine& e) {
  namespace K = kw::FONT;
  if (evaluate_arguments(e) != 0) return -1;
  FontState& f = ready_fonts(e);
  const ArgSlots& a = e.args;
  // BNO picks the slot for this command only.
  const int64_t slot_no = a.value(K::BNO, 0);
  FontSlot& slot = f.slots[size_t(slot_no == 1 ? 1 : 0)];

  if (a.has(K::NO)) {
    const int32_t font = font_number(e, "FONT", K::NO, slot.font);
    if (font < 0) return -1;
    slot.font = font;
  }
  if (a.has(K::NAME)) {
    const int32_t font = find_font(e.platform.fonts.get(), a.at(K::NAME).text_view());
    if (font >= 0 && size_t(font) < f.list.entries.size()) slot.font = font;  // an unknown name changes nothing
  }
  take(a, K::ANTIALIASING, slot.antialias, 0, 1);
  take(a, K::COLOR, slot.color, 0, kMaxColour);
  take(a, K::COLOR2, slot.color2, -1, kMaxColour);
  take(a, K::DRAWMODE, slot.drawmode, 0, 1);
  take(a, K::SX, slot.sx, 1, 256);
  take(a, K::SY, slot.sy, 1, 256);
  take(a, K::BOLD, slot.bold, 0, 1);
  if (&slot == &f.slots[0]) e.text.attrs = slot;
  return 0;
}

int fontinfo_command(Engine& e) {
  namespace K = kw::FONTINFO;
  if (evaluate_arguments(e) != 0) return -1;
  FontState& f = ready_fonts(e);
  const ArgSlots& a = e.args;
  const FontSlot& cur = e.text.attrs;
  const OutputTarget out = output_target(e, K::LET);
  if (a.has(K::ANTIALIASING)) return store_int(e, out, cur.antialias);
  if (a.has(K::COLOR)) return store_int(e, out, cur.color);
  if (a.has(K::COLOR2)) return store_int(e, out, cur.color2);
  if (a.has(K::DRAWMODE)) return store_int(e, out, cur.drawmode);
  if (a.has(K::SX)) return store_int(e, out, cur.sx);
  if (a.has(K::SY)) return store_int(e, out, cur.sy);
  if (a.has(K::BOLD)) return store_int(e, out, cur.bold);
  if (a.value(K::NUM) == 1) return store_int(e, out, int64_t(f.list.entries.size()));
  if (a.has(K::PITCH)) return store_int(e, out, 0);
  if (a.has(K::X) || a.has(K::Y)) {
    // The first character of SETSTR; a lead byte without its trail byte is
    // a single byte, and an empty text measures 0.
    const std::string_view text = a.has(K::SETSTR) ? a.at(K::SETSTR).text_view() : std::string_view();
    if (text.empty()) return store_int(e, out, 0);
    const bool two = sjis::char_length_at(text, 0) == 2;
    const uint16_t code = two ? uint16_t(uint8_t(text[0]) << 8 | uint8_t(text[1])) : uint8_t(text[0]);
    const Glyph* g = f.glyphs->glyph({cur.font, cur.sx, cur.bold, cur.antialias, code});
    if (!g) return report(e, 102040);
    return store_int(e, out, a.has(K::X) ? g->advance : g->height);
  }
  if (a.value(K::NAME) == 1 || a.value(K::LANG) == 1) {
    const int32_t font = font_number(e, "FONTINFO", K::NO, cur.font);
    if (font < 0) return -1;
    if (size_t(font) >= f.list.entries.size()) return a.value(K::NAME) == 1 ? store_text(e, out, "") : store_int(e, out, 1);
    const FontEntry& entry = f.list.entries[size_t(font)];
    if (a.value(K::NAME) == 1) return store_text(e, out, entry.name);
    return store_int(e, out, entry.lang);
  }
  return store_int(e, out, 0);
}

}  // namespace nv::text
