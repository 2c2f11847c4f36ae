#include "text/text_step.h"

#include <algorithm>
#include <cstring>

#include "text/line_breaks.h"
#include "text/text_queue.h"

namespace nv::text {

void ChangedArea::add(int64_t x, int64_t y, int64_t w, int64_t h) {
  if (w <= 0 || h <= 0) return;
  if (!any) {
    x0 = x, y0 = y, x1 = x + w, y1 = y + h;
    any = true;
    return;
  }
  x0 = std::min(x0, x), y0 = std::min(y0, y);
  x1 = std::max(x1, x + w), y1 = std::max(y1, y + h);
}

namespace {

bool any_key(const KeyStates* keys, const std::array<int32_t, 4>& list, bool pressed_now) {
  if (!keys) return false;
  for (int32_t k : list) {
    if (k < 0 || k > 255) continue;
    const int32_t st = keys->state(k);
    if (pressed_now ? st == 1 : st > 0) return true;
  }
  return false;
}

void release_click_wait(TextState& s, uint64_t now_ms) {
  if (s.next < s.items.size() && s.items[s.next].kind == item::click) ++s.next;
  s.click_wait = false;
  s.time_base_ms = now_ms;
}

void clear_target(TextState& s, Surface* target, StepResult& r) {
  s.cursor_x = 0;
  s.cursor_y = 0;
  s.bottom_reached = false;
  s.pair_pending = false;
  if (!target || !target->pixels) return;
  std::memset(target->pixels, 0, size_t(target->width) * size_t(target->height) * sizeof(uint32_t));
  r.changed.add(0, 0, target->width, target->height);
}

// Places and draws the character at s.next; false after an error.
bool output_character(TextState& s, Surface* target, GlyphSource& glyphs, StepResult& r) {
  const TextItem& it = s.items[s.next];
  if (s.clear_request) {
    s.clear_request = false;
    clear_target(s, target, r);
  }
  if (!target || s.bottom_reached) return true;
  if (s.pair_pending) {
    s.pair_pending = false;
  } else {
    const TextItem* next = s.next + 1 < s.items.size() ? &s.items[s.next + 1] : nullptr;
    PlaceInput in;
    in.x = s.cursor_x;
    in.y = s.cursor_y;
    in.w = it.sx;
    in.h = it.sy;
    in.next_h = next ? next->sy : it.sy;
    in.width = target->width;
    in.height = target->height;
    in.code = it.code;
    in.next_is_question = next && next->kind == item::double_byte && next->code == kSjisQuestion;
    const Placement p = place_character(in);
    if (p.skip) {
      s.bottom_reached = true;
      return true;
    }
    s.cursor_x = p.x;
    s.cursor_y = p.y;
    s.pair_pending = p.pair;
  }
  const Glyph* g = glyphs.glyph({s.attrs.font, it.sx, it.bold, s.attrs.antialias, it.code});
  if (!g) {
    r.error = kErrFontCreation;
    return false;
  }
  GlyphPaint paint{it.color, it.color2, it.sy, s.attrs.drawmode};
  if (draw_glyph(*target, *g, s.cursor_x, s.cursor_y, paint)) r.changed.add(s.cursor_x, s.cursor_y, g->size, it.sy);
  s.cursor_x += g->advance;
  return true;
}

}  // namespace

StepResult step_text(TextState& s, Surface* target, GlyphSource& glyphs, uint64_t now_ms) {
  StepResult r;
  if (s.output_mode != 1 || s.next >= s.items.size()) {
    empty_queue(s);
    r.done = true;
    return r;
  }
  if (!s.time_base_set) {
    s.time_base_ms = now_ms;
    s.time_base_set = true;
  }
  const bool skip_held = any_key(s.keys, s.skip_keys, false);
  const bool clicked = s.click_used_frame != s.input_frame && any_key(s.keys, s.click_keys, true);

  if (skip_held) {
    if (s.click_wait) release_click_wait(s, now_ms);
    else s.skip = true;
  }

  bool skipped = false;
  while (s.next < s.items.size()) {
    const TextItem& it = s.items[s.next];
    if (it.kind == item::single || it.kind == item::double_byte) {
      if (s.skip) {
        skipped = true;
      } else {
        if (now_ms < s.time_base_ms + it.delay_ms) break;
        s.time_base_ms += it.delay_ms;
      }
      const bool ok = output_character(s, target, glyphs, r);
      ++s.next;
      if (!ok) return r;
    } else if (it.kind == item::click) {
      s.click_wait = true;
      break;
    } else if (it.kind == item::line || it.kind == item::click_line) {
      s.cursor_x = 0;
      s.cursor_y += it.sy;
      ++s.next;
    } else if (it.kind == item::page || it.kind == item::click_page) {
      clear_target(s, target, r);
      ++s.next;
    } else if (it.kind == item::end) {
      ++s.next;
    } else {
      ++s.next;
      r.error = kErrBadTextItem;
      return r;
    }
  }
  s.skip = false;
  // Delays after skipped characters count from now, not from before them.
  if (skipped) s.time_base_ms = now_ms;

  if (s.next < s.items.size() && (clicked || skip_held)) {
    if (s.click_wait) release_click_wait(s, now_ms);
    else s.skip = true;
    if (clicked) s.click_used_frame = s.input_frame;
  }
  if (s.next >= s.items.size()) {
    empty_queue(s);
    r.done = true;
  }
  return r;
}

}  // namespace nv::text
