// The per-frame advance of the message text output: character delays on an
// accumulated time base, click waits, the skip key, line returns, pages,
// wrapping, and the drawing of each character into the target.
#pragma once

#include <cstdint>

#include "text/glyph.h"
#include "text/glyph_draw.h"
#include "text/text_state.h"

namespace nv::text {

constexpr int kErrBadTextItem = 900010;  // an item kind the output does not know
constexpr int kErrFontCreation = 102040; // a glyph's font cannot be opened or sized

// Key states as the input keeps them: 1 in the frame a key went down, above
// 1 while it stays down, 0 when up.
class KeyStates {
 public:
  virtual ~KeyStates() = default;
  virtual int32_t state(int32_t key) const = 0;
};

// The area the step changed in the target, exclusive right and bottom.
struct ChangedArea {
  bool any = false;
  int64_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  void add(int64_t x, int64_t y, int64_t w, int64_t h);
};

struct StepResult {
  int error = 0;      // 0, kErrBadTextItem or kErrFontCreation
  bool done = false;  // nothing is left to output: tasks waiting on text go on
  ChangedArea changed;
};

// One step of output at time `now_ms`, with the key states of s.keys for
// frame s.input_frame. `target` is null when no layer takes the text:
// characters are then consumed without being drawn or moving the cursor,
// and pages clear nothing. Key numbers outside 0..255 count as none. On an
// error the item at fault is consumed and the step stops there.
StepResult step_text(TextState& s, Surface* target, GlyphSource& glyphs, uint64_t now_ms);

}  // namespace nv::text
