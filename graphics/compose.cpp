#include "graphics/compose.h"

#include <algorithm>

#include "core/engine.h"
#include "core/error_report.h"
#include "graphics/composite_job.h"
#include "graphics/graphics_state.h"
#include "graphics/worker_pool.h"

namespace nv::gfx {

namespace {

bool has_pixels(const Layer& l) {
  return l.sx > 0 && l.sy > 0 && l.pixels.size() >= size_t(l.sx) * size_t(l.sy);
}

// A set drawn into its parent is always drawn as an opaque image.
bool drawn_with_alpha(const LayerNode& n) { return !n.is_set && n.layer->alpha; }

bool covers(const Layer& l, const DirtyRect& r) {
  const DirtyRect c = layer_rect(l);
  return c.left <= r.left && c.top <= r.top && c.right >= r.right && c.bottom >= r.bottom;
}

// Draws nothing below it in `r`: visible, mode 0, full opacity, opaque, no
// active transition, and covering the rectangle.
bool hides_below(const LayerNode& n, const DirtyRect& r) {
  const Layer& l = *n.layer;
  return l.visible == 1 && drawn_mode(l) == 0 && drawn_opacity(l) == 256 && !drawn_with_alpha(n) &&
         (l.tid.empty() || drawn_threshold(l) == 256) && covers(l, r) && has_pixels(l);
}

void run_pass(Engine& e, const CompositePass& pass) {
  if (!pass.clear && pass.jobs.empty()) return;
  if (e.graphics.workers) e.graphics.workers->run(pool_job_of(pass));
  else run_pass_rows(pass, 0, pass.height);
}

// The rule image a child's TID names: null when it names no plain layer.
// False after a report.
bool find_rule(Engine& e, const Layer& child, const Layer*& rule, std::string& rule_name) {
  rule = nullptr;
  NodePath p;
  if (!resolve_layer_path(e, child.tid, p)) return false;
  p.is_set = false;
  bool missing_set = false;
  LayerNode* n = find_layer(e, p, true, &missing_set);
  if (missing_set) return false;
  if (n && n->layer && has_pixels(*n->layer)) {
    rule = n->layer.get();
    rule_name = n->name;
  }
  return true;
}

// Adds the drawing of child `n` onto `canvas` where it meets `r` to `pass`.
int add_child_job(Engine& e, Layer& canvas, const LayerNode& n, const DirtyRect& r, CompositePass& pass) {
  const Layer& l = *n.layer;
  const int32_t opacity = drawn_opacity(l), threshold = drawn_threshold(l);
  if (l.visible == 0 || opacity == 0 || (threshold == 0 && !l.tid.empty()) || !has_pixels(l)) return 0;
  const DirtyRect c = layer_rect(l);
  const int64_t left = std::max(r.left, c.left), top = std::max(r.top, c.top);
  const int64_t right = std::min(r.right, c.right), bottom = std::min(r.bottom, c.bottom);
  if (left > right || top > bottom) return 0;

  const Layer* rule = nullptr;
  std::string rule_name;
  if (!l.tid.empty() && !find_rule(e, l, rule, rule_name)) return -1;
  const bool transition = rule && threshold < 256;
  if (transition && (rule->sx != l.sx || rule->sy != l.sy))
    return report(e, 100310, {n.name, l.sx, l.sy, rule_name, rule->sx, rule->sy});

  GraphicsState& g = e.graphics;
  const int mode = drawn_mode(l);
  const bool alpha = drawn_with_alpha(n);
  CompositeJob& job = pass.jobs.emplace_back();
  KernelForm form;
  if (transition) {
    job.kind = alpha ? JobKind::rule_alpha : JobKind::rule;
    form = alpha ? KernelForm::rule_alpha : KernelForm::rule;
    build_rule_table(job.rule_table, threshold, int32_t(std::clamp<int64_t>(l.softness, 0, 256)), opacity);
  } else if (alpha) {
    job.kind = JobKind::alpha;
    form = opacity == 256 ? KernelForm::alpha_full : KernelForm::alpha_faded;
  } else {
    job.kind = JobKind::opaque;
    form = opacity == 256 ? KernelForm::opaque_full : KernelForm::opaque_faded;
  }
  job.kernel = g.routines.set.kernels[int(form)][mode];
  job.mode_table = g.tables.mode_table(mode);
  job.opacity = opacity;
  job.width = int32_t(right - left + 1);
  job.height = int32_t(bottom - top + 1);
  job.top = int32_t(top - r.top);
  const size_t src_x = size_t(left - l.x), src_y = size_t(top - l.y);
  job.dst_stride = int64_t(canvas.sx) * 4;
  job.dst = reinterpret_cast<uint8_t*>(canvas.pixels.data() + size_t(top) * size_t(canvas.sx) + size_t(left));
  job.src_stride = int64_t(l.sx) * 4;
  job.src = reinterpret_cast<const uint8_t*>(l.pixels.data() + src_y * size_t(l.sx) + src_x);
  if (transition) {
    job.rule_stride = job.src_stride;
    job.rule = reinterpret_cast<const uint8_t*>(rule->pixels.data() + src_y * size_t(l.sx) + src_x);
  }
  pass.pixels += int64_t(job.width) * job.height;
  return 0;
}

int compose_rect(Engine& e, LayerNode& set, const DirtyRect& r) {
  Layer& canvas = *set.layer;
  LayerNode* start = nullptr;
  for (LayerNode* c = set.last_child(); c; c = c->prev_sibling()) {
    if (c->layer && hides_below(*c, r)) {
      start = c;
      break;
    }
  }
  CompositePass pass;
  pass.width = int32_t(r.right - r.left + 1);
  pass.height = int32_t(r.bottom - r.top + 1);
  if (!start) {
    pass.clear = canvas.pixels.data() + size_t(r.top) * size_t(canvas.sx) + size_t(r.left);
    pass.clear_stride = canvas.sx;
    pass.fill = e.graphics.routines.set.fill_pixels;
    pass.pixels = int64_t(pass.width) * pass.height;
    start = set.first_child();
  }
  // Nested sets are composed while the jobs are gathered, before any row of
  // this canvas is drawn; what was gathered before a failure is still drawn.
  int result = 0;
  for (LayerNode* c = start; c && result == 0; c = c->next_sibling()) {
    if (!c->layer) continue;
    if (c->is_set && c->layer->dirty.recompose && compose_set(e, *c, true) != 0) result = -1;
    else if (add_child_job(e, canvas, *c, r, pass) != 0) result = -1;
  }
  run_pass(e, pass);
  return result;
}

void ensure_pixel_setup(GraphicsState& g) {
  if (g.tables.modes.empty()) build_blend_tables(g.tables);
  if (!g.routines.set.fill_pixels) install_routines(g.routines, RoutineLevel::portable);
}

void reset_below(LayerNode& n) {
  for (LayerNode* c = n.first_child(); c; c = c->next_sibling()) {
    if (c->layer) reset_dirty(c->layer->dirty);
    reset_below(*c);
  }
}

}  // namespace

int compose_set(Engine& e, LayerNode& set, bool nested) {
  if (!set.layer) return 0;
  ensure_pixel_setup(e.graphics);
  Layer& s = *set.layer;
  s.alpha = !nested;
  s.dirty.recompose = false;
  if (!has_pixels(s)) return 0;
  for (int i = 0; i < kDirtyRectCount; ++i) {
    if (!s.dirty.in_use[size_t(i)]) continue;
    const DirtyRect& d = s.dirty.rects[size_t(i)];
    const DirtyRect r{std::max<int64_t>(d.left, 0), std::max<int64_t>(d.top, 0), std::min<int64_t>(d.right, s.sx - 1),
                      std::min<int64_t>(d.bottom, s.sy - 1)};
    if (r.left > r.right || r.top > r.bottom) continue;
    s.dirty.bounds = unite(s.dirty.bounds, r);
    if (s.dirty.full_redraw) {
      s.dirty.full_redraw = false;
      s.dirty.bounds = {0, 0, s.sx - 1, s.sy - 1};
    }
    if (compose_rect(e, set, r) != 0) return -1;
  }
  return 0;
}

void reset_dirty_tree(Engine& e) { reset_below(e.graphics.layers.root); }

int compose_windows(Engine& e) {
  for (WindowView& w : e.graphics.windows) {
    if (w.set && w.set->layer && w.set->layer->dirty.recompose && compose_set(e, *w.set, false) != 0) return -1;
  }
  return 0;
}

}  // namespace nv::gfx
