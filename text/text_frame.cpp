#include "text/text_frame.h"

#include <algorithm>

#include "core/engine.h"
#include "core/error_report.h"
#include "graphics/graphics_state.h"
#include "graphics/layer_tree.h"
#include "input/input_state.h"
#include "runtime/task_tree.h"
#include "text/font_state.h"
#include "text/text_step.h"

namespace nv::text {

namespace {

// For a step with nothing to draw.
class NoGlyphs final : public GlyphSource {
 public:
  const Glyph* glyph(const GlyphKey&) override { return nullptr; }
};

// The target layer's node, found again by its path each time: a layer
// released meanwhile is simply not there.
gfx::LayerNode* target_node(Engine& e, const TextState& s) {
  if (s.target.empty()) return nullptr;
  gfx::LayerNode* node = gfx::find_layer(e, NodePath{s.target, s.target_is_set}, false);
  return node && node->layer ? node : nullptr;
}

// The input's key table as the output reads it: a key's frame counter, 1
// in the frame it went down and above 1 while it stays down.
class EngineKeys final : public KeyStates {
 public:
  explicit EngineKeys(const input::KeySlots& slots) : slots_(slots) {}
  int32_t state(int32_t key) const override {
    if (key < 0 || size_t(key) >= slots_.size()) return 0;
    const int64_t n = slots_[size_t(key)].counter;
    return n > 0 ? int32_t(std::min<int64_t>(n, INT32_MAX)) : 0;
  }

 private:
  const input::KeySlots& slots_;
};

}  // namespace

void text_walk_step(Engine& e) {
  TextState& s = e.text;
  const bool pending = s.output_mode == 1 && s.next < s.items.size();
  gfx::LayerNode* node = pending ? target_node(e, s) : nullptr;
  Surface surface;
  Surface* target = nullptr;
  if (node) {
    gfx::Layer& l = *node->layer;
    if (l.sx > 0 && l.sy > 0 && l.pixels.size() == size_t(l.sx) * size_t(l.sy)) {
      surface = Surface{l.pixels.data(), l.sx, l.sy};
      target = &surface;
    }
  }
  NoGlyphs none;
  GlyphSource& glyphs = pending ? static_cast<GlyphSource&>(*ready_fonts(e).glyphs) : none;
  // Keys set by a test stand in for the input's own.
  EngineKeys engine_keys(e.input.keys.slots);
  const KeyStates* set_keys = s.keys;
  if (!set_keys) s.keys = &engine_keys;
  const StepResult r = step_text(s, target, glyphs, e.platform.clock->now_us() / 1000);
  s.keys = set_keys;

  if (r.changed.any && node && target) {
    gfx::mark_layer_area_dirty(*node, std::max<int64_t>(r.changed.x0, 0), std::max<int64_t>(r.changed.y0, 0),
                          std::min<int64_t>(r.changed.x1, surface.width) - 1,
                          std::min<int64_t>(r.changed.y1, surface.height) - 1);
    e.graphics.screen_changed = true;
  }
  if (r.error != 0) report_ex(e, uint32_t(r.error), {.framed = false});
  if (r.done)
    for (auto& n : e.tasks.nodes) n->task.text_busy = false;
}

}  // namespace nv::text
