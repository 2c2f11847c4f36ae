// Arbitrary bytes through WORD and `_` and the per-frame output: the input
// is a list of operations (queue text either way, control items, attribute
// changes, keys, clears, frames) applied to one text state drawing into a
// small layer with glyphs of fixed advance. Checks that the queue never
// passes its limits and that output always finishes once keys are pressed.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "text/text_queue.h"
#include "text/text_step.h"

namespace {

class Glyphs : public nv::text::GlyphSource {
 public:
  const nv::text::Glyph* glyph(const nv::text::GlyphKey& k) override {
    g_.size = k.size;
    g_.alpha.assign(size_t(k.size) * size_t(k.size), 0x80);
    g_.ink_top = 0;
    g_.ink_bottom = k.size;
    g_.advance = nv::text::is_double_byte_code(k.code) ? k.size : k.size / 2;
    g_.height = k.size;
    return &g_;
  }

 private:
  nv::text::Glyph g_;
};

class Keys : public nv::text::KeyStates {
 public:
  int32_t state(int32_t key) const override {
    if (key < 0 || key > 255) __builtin_trap();  // the output must not ask outside the table
    return states[size_t(key)];
  }
  int32_t states[256] = {};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* in, size_t size) {
  if (size < 4) return 0;
  nv::text::TextState s;
  s.output_mode = 1;
  s.click_keys = {int32_t(in[0]) * 4, 1, nv::text::kNoTextKey, 300};
  s.skip_keys = {int32_t(in[1]) * 4, 2, nv::text::kNoTextKey, 1024};
  std::vector<uint32_t> pixels(size_t(8 + in[2]) * size_t(8 + in[3] / 2));
  nv::text::Surface layer{pixels.data(), int32_t(8 + in[2]), int32_t(8 + in[3] / 2)};
  Glyphs glyphs;
  Keys keys;
  s.keys = &keys;
  uint64_t now = 0;
  size_t i = 4;
  auto take = [&](size_t n) {
    n = std::min(n, size - i);
    std::string_view v(reinterpret_cast<const char*>(in + i), n);
    i += n;
    return v;
  };
  while (i < size) {
    const uint8_t op = in[i++];
    const uint8_t arg = i < size ? in[i] : 0;
    switch (op % 8) {
      case 0: nv::text::queue_word_text(s, take(arg * 33u)); break;
      case 1: nv::text::queue_value_text(s, take(arg * 9u)); break;
      case 2: nv::text::queue_controls(s, take(arg % 8)); break;
      case 3: nv::text::queue_line_end(s), s.auto_click = arg & 1, s.auto_return = arg & 2, s.auto_page = arg & 4; ++i; break;
      case 4: s.attrs.sx = 1 + arg, s.attrs.sy = 1 + (arg * 7) % 256, s.wait_ms = arg, ++i; break;
      case 5: keys.states[arg] = keys.states[arg] ? 0 : 1, ++i; break;
      case 6: nv::text::empty_queue(s), s.output_mode = arg & 1, ++i; break;
      default: {
        now += arg;
        ++i;
        ++s.input_frame;
        nv::text::StepResult r = nv::text::step_text(s, (arg & 3) ? &layer : nullptr, glyphs, now);
        if (r.error && r.error != nv::text::kErrBadTextItem) __builtin_trap();
        for (int32_t& k : keys.states)
          if (k) ++k;
      }
    }
    if (s.items.size() > nv::text::kMaxTextItems || s.text_bytes >= nv::text::kMaxWordTextBytes || s.next > s.items.size())
      __builtin_trap();
  }
  // Holding a skip key finishes any output within as many frames as items.
  keys.states[2] = 2;
  s.output_mode = 1;
  const size_t frames = s.items.size() + 2;
  for (size_t f = 0; f < frames && !s.items.empty(); ++f, ++s.input_frame) nv::text::step_text(s, &layer, glyphs, ++now);
  if (!s.items.empty()) __builtin_trap();
  return 0;
}
