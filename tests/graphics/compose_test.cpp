// Composition of layer sets from titles, and the worker pool's bands.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <random>
#include <thread>
#include <vector>

#include "graphics/compose.h"
#include "graphics/blend_kernels.h"
#include "graphics/graphics_state.h"
#include "graphics/rule_table.h"
#include "graphics/worker_pool.h"
#include "runtime/scheduler.h"
#include "tests/graphics/layer_test_support.h"
#include "tests/support/test_engine.h"
#include "tests/support/title_run.h"

namespace nv::test {
namespace {

uint32_t canvas_at(Engine& e, int64_t x, int64_t y) {
  const gfx::Layer& w0 = *e.graphics.layers.w0->layer;
  return w0.pixels[size_t(y) * size_t(w0.sx) + size_t(x)];
}

TEST(Compose, SeventeenSmallChangesWidenTheFirstRectangle) {
  // Frame 1 presents the new W0 whole; the changes are then made by a walk
  // without the presentation, so that the dirty state can be looked at.
  std::string src = "WAIT[FRAME=1]\n";
  for (int i = 0; i < 17; ++i)
    src += "CG[ID=\"d" + std::to_string(i) + "\" FILE=\"dot\" Z=1 X=" + std::to_string(i * 10) + "]\n";
  src += "WAIT[FRAME=1000]\n";
  TitleRun r(src);
  write_png(r.dir(), "dot.png", 1, 1, 0xFFFF0000u, false);
  r.run(1);
  ++r.engine().tasks.frame_counter;
  walk_tasks(r.engine(), r.engine().tasks.root);
  ASSERT_EQ(r.dialog_count(), 0u) << r.dialogs();
  const gfx::DirtyState& d = r.engine().graphics.layers.w0->layer->dirty;
  EXPECT_EQ(d.count, 16);
  EXPECT_EQ(d.rects[0].left, 0);
  EXPECT_EQ(d.rects[0].right, 160);
  EXPECT_EQ(d.rects[15].left, 150);
  ASSERT_EQ(gfx::compose_windows(r.engine()), 0);
  EXPECT_EQ(canvas_at(r.engine(), 160, 0), 0xFFFF0000u);  // the 17th change is drawn
  EXPECT_EQ(canvas_at(r.engine(), 155, 0), 0u);
  EXPECT_FALSE(d.recompose);

  gfx::reset_dirty_tree(r.engine());
  EXPECT_EQ(d.count, 0);
  EXPECT_EQ(d.in_use[0], 0);
  EXPECT_EQ(d.bounds.left, gfx::kEmptyBoundsLow);
}

// The layer below carries a transition whose rule image has the wrong size:
// drawing it would report 100310.
const char* const kBrokenBelow = R"(CG[ID="rule" FILE="small" Z=1 E=0]
CG[ID="below" FILE="full" Z=2 TID="rule" T=128]
)";

TEST(Compose, OpaqueTopLayerHidesEverythingBelow) {
  TitleRun hidden(std::string(kBrokenBelow) + "CG[ID=\"top\" FILE=\"full\" Z=3]\n");
  TitleRun shown(kBrokenBelow);
  for (TitleRun* r : {&hidden, &shown}) {
    write_png(r->dir(), "small.png", 2, 2, 0xFF0000FFu, false);
    write_png(r->dir(), "full.png", 640, 480, 0xFF00FF00u, false);
    r->run(2);
    ASSERT_EQ(r->dialog_count(), 0u) << r->dialogs();
  }
  EXPECT_EQ(gfx::compose_windows(hidden.engine()), 0);
  EXPECT_EQ(canvas_at(hidden.engine(), 639, 479), 0xFF00FF00u);
  EXPECT_EQ(gfx::compose_windows(shown.engine()), -1);
  EXPECT_EQ(shown.engine().errors.last_code, 100310u);
}

TEST(Compose, InvisibleAndFadedOutLayersAreNotDrawn) {
  TitleRun r(R"(CG[ID="a0" FILE="dot" Z=1 A=0]
CG[ID="t0" FILE="dot" Z=1 X=1 TID="none" T=0]
CG[ID="e0" FILE="dot" Z=1 X=2 E=0]
CG[ID="gone" FILE="dot" Z=1 X=3 TID="none" T=128]
CG[ID="half" FILE="dot" Z=1 X=4 A=128]
CG[ID="soft" FILE="soft" Z=1 X=5]
)");
  write_png(r.dir(), "soft.png", 1, 1, 0x80C8C8C8u);
  write_png(r.dir(), "dot.png", 1, 1, 0xFFC8C8C8u, false);
  r.run(2);
  ASSERT_EQ(r.dialog_count(), 0u) << r.dialogs();
  ASSERT_EQ(gfx::compose_windows(r.engine()), 0);
  EXPECT_EQ(canvas_at(r.engine(), 0, 0), 0u);
  EXPECT_EQ(canvas_at(r.engine(), 1, 0), 0u);
  EXPECT_EQ(canvas_at(r.engine(), 2, 0), 0u);
  // A TID naming no layer draws without a transition.
  EXPECT_EQ(canvas_at(r.engine(), 3, 0), 0xFFC8C8C8u);
  // Opaque form at A 128 over 0: every byte 0 + ((200 - 0) x 128 >> 8) = 100,
  // alpha 0 + (255 x 128 >> 8) = 127.
  EXPECT_EQ(canvas_at(r.engine(), 4, 0), 0x7F646464u);
  // Alpha form at full opacity over 0: 0 + ((200 x (128 + 1)) >> 8) = 100;
  // the canvas alpha stays as it was.
  EXPECT_EQ(canvas_at(r.engine(), 5, 0), 0x00646464u);
}

TEST(Compose, NestedSetIsDrawnOpaqueSoItsEmptyAreasShowBlack) {
  TitleRun r(R"(CG[ID="bg" FILE="white" Z=1]
CG[ID="s/" SX=10 SY=10 Z=2 X=20 Y=20]
CG[ID="s/dot" FILE="dot" Z=1 X=3 Y=4]
)");
  write_png(r.dir(), "white.png", 640, 480, 0xFFFFFFFFu, false);
  write_png(r.dir(), "dot.png", 1, 1, 0xFF204060u, false);
  r.run(2);
  ASSERT_EQ(r.dialog_count(), 0u) << r.dialogs();
  ASSERT_EQ(gfx::compose_windows(r.engine()), 0);
  EXPECT_EQ(canvas_at(r.engine(), 19, 19), 0xFFFFFFFFu);
  EXPECT_EQ(canvas_at(r.engine(), 20, 20), 0u);
  EXPECT_EQ(canvas_at(r.engine(), 23, 24), 0xFF204060u);
  EXPECT_EQ(canvas_at(r.engine(), 30, 30), 0xFFFFFFFFu);
  EXPECT_FALSE(layer_at(r.engine(), "W0/s/")->layer->alpha);

  // A later change inside the set reaches the window's canvas through both levels.
  gfx::reset_dirty_tree(r.engine());
  Engine& e = r.engine();
  gfx::LayerNode* dot = layer_at(e, "W0/s/dot");
  gfx::mark_layer_dirty(*dot);
  dot->layer->x = 5;
  mark_layer_dirty(*dot);
  ASSERT_EQ(gfx::compose_windows(e), 0);
  EXPECT_EQ(canvas_at(e, 23, 24), 0u);
  EXPECT_EQ(canvas_at(e, 25, 24), 0xFF204060u);
}

TEST(Compose, HardThresholdRuleTakesTheSourceFromRuleValue128) {
  TitleRun r(R"(CG[ID="rule" FILE="ramp" Z=1 E=0]
CG[ID="bg" FILE="blue" Z=2]
CG[ID="fg" FILE="red" Z=3 TID="rule" T=128 TA=256]
)");
  std::vector<uint32_t> ramp(256);
  for (uint32_t i = 0; i < 256; ++i) ramp[i] = 0xFF000000u | i;
  write_png(r.dir(), "ramp.png", 256, 1, ramp, false);
  write_png(r.dir(), "blue.png", 256, 1, 0xFF0000FFu, false);
  write_png(r.dir(), "red.png", 256, 1, 0xFFFF0000u, false);
  r.run(2);
  ASSERT_EQ(r.dialog_count(), 0u) << r.dialogs();
  ASSERT_EQ(gfx::compose_windows(r.engine()), 0);
  for (int x : {0, 127}) EXPECT_EQ(canvas_at(r.engine(), x, 0), 0xFF0000FFu) << x;
  for (int x : {128, 255}) EXPECT_EQ(canvas_at(r.engine(), x, 0), 0xFFFF0000u) << x;
}

TEST(Compose, ResizedSetIsClearedAndRecomposedAtOnce) {
  TitleRun r(R"(CG[ID="s/" SX=4 SY=4 Z=1]
CG[ID="s/dot" FILE="dot" Z=1]
CG[ID="s/" SX=8]
)");
  write_png(r.dir(), "dot.png", 1, 1, 0xFF204060u, false);
  r.run(2);
  ASSERT_EQ(r.dialog_count(), 0u) << r.dialogs();
  const gfx::Layer& s = *layer_at(r.engine(), "W0/s/")->layer;
  ASSERT_EQ(s.sx, 8);
  EXPECT_EQ(s.pixels[0], 0xFF204060u);
  EXPECT_EQ(s.pixels[7], 0u);
}

// A canvas many bands of rows tall, with children that start and end inside
// bands, partly off the canvas, and a bottom child that leaves the canvas
// to be cleared: with one worker and with two, every pixel equals drawing
// the children one after another, each over its whole rectangle, with the
// portable kernels.
TEST(Compose, BandedPassEqualsDrawingTheChildrenOneAfterAnother) {
  constexpr int kW = 640, kH = 480;
  struct Child {
    const char* name;
    int w, h, x, y;
    bool alpha;
    int64_t opacity;
  };
  const Child children[] = {{"bg", 600, 401, 0, 7, false, 256},
                            {"sprite", 100, 90, -20, 13, true, 256},
                            {"faded_sprite", 200, 301, 300, 37, true, 200},
                            {"window", 500, 61, 50, 419, false, 128},
                            {"fade", kW, kH, 0, 0, false, 256}};
  std::mt19937 rng(11);
  std::vector<std::vector<uint32_t>> pixels;
  for (const Child& c : children) {
    pixels.emplace_back(size_t(c.w) * size_t(c.h));
    for (uint32_t& p : pixels.back()) p = c.alpha ? uint32_t(rng()) : (uint32_t(rng()) | 0xFF000000u);
  }
  std::vector<uint32_t> rule(size_t(kW) * kH);
  for (uint32_t& p : rule) p = uint32_t(rng());

  // The reference: each child in turn, its rows top to bottom.
  gfx::RoutineSet portable;
  gfx::fill_scalar_routines(portable);
  gfx::BlendTables tables;
  gfx::build_blend_tables(tables);
  gfx::RuleTable rule_table;
  gfx::build_rule_table(rule_table, 128, 64, 256);
  std::vector<uint32_t> want(size_t(kW) * kH, 0u);
  for (size_t i = 0; i < std::size(children); ++i) {
    const Child& c = children[i];
    const bool is_fade = i + 1 == std::size(children);
    const gfx::KernelForm form = is_fade ? gfx::KernelForm::rule
                                 : c.alpha ? (c.opacity == 256 ? gfx::KernelForm::alpha_full : gfx::KernelForm::alpha_faded)
                                           : (c.opacity == 256 ? gfx::KernelForm::opaque_full : gfx::KernelForm::opaque_faded);
    const int left = std::max(c.x, 0), right = std::min(c.x + c.w, kW);
    for (int y = std::max(c.y, 0); y < std::min(c.y + c.h, kH); ++y) {
      const size_t src = size_t(y - c.y) * size_t(c.w) + size_t(left - c.x);
      gfx::BlendRow r{reinterpret_cast<uint8_t*>(&want[size_t(y) * kW + size_t(left)]),
                      reinterpret_cast<const uint8_t*>(&pixels[i][src]),
                      reinterpret_cast<const uint8_t*>(&rule[src]),
                      right - left,
                      int32_t(c.opacity),
                      rule_table.data(),
                      tables.mode_table(0)};
      portable.kernels[int(form)][0](r);
    }
  }
  ASSERT_NE(want[size_t(200) * kW + 320], 0u);

  for (const bool two : {false, true}) {
    TestEngine t;
    Engine& e = t.engine();
    e.config.screen_width = kW;
    e.config.screen_height = kH;
    e.user_settings.two_workers = two;
    ASSERT_EQ(gfx::start_graphics(e), 0);
    ASSERT_EQ(e.graphics.workers->size(), two ? 2 : 1);
    auto add = [&](const std::string& name, int w, int h, int64_t x, int64_t y, int64_t z, bool alpha,
                   const std::vector<uint32_t>& px) -> gfx::Layer& {
      NodePath p{"W0/" + name, false};
      gfx::LayerNode* n = gfx::create_layer_node(e, p, z);
      gfx::give_fresh_layer(*n);
      gfx::Layer& l = *n->layer;
      l.sx = w;
      l.sy = h;
      l.x = x;
      l.y = y;
      l.alpha = alpha;
      l.pixels = px;
      return l;
    };
    add("rule", kW, kH, 0, 0, 0, false, rule).visible = 0;
    for (size_t i = 0; i < std::size(children); ++i) {
      const Child& c = children[i];
      gfx::Layer& l = add(c.name, c.w, c.h, c.x, c.y, int64_t(i) + 1, c.alpha, pixels[i]);
      l.opacity = c.opacity;
      if (i + 1 == std::size(children)) {
        l.tid = "rule";
        l.threshold = 128;
        l.softness = 64;
      }
    }
    gfx::LayerNode& w0 = *e.graphics.layers.w0;
    std::fill(w0.layer->pixels.begin(), w0.layer->pixels.end(), 0x12345678u);
    gfx::mark_set_dirty(w0);
    ASSERT_EQ(gfx::compose_set(e, w0, false), 0);
    EXPECT_TRUE(w0.layer->pixels == want) << (two ? "two workers" : "one worker");
  }
}

// Every row of every job is run exactly once, with one or two workers, over
// many jobs in a row (a lost wake-up would hang here); small jobs and jobs
// after the stop flag run whole on the calling thread.
TEST(WorkerPool, BandsCoverEveryRowOnce) {
  struct Rows {
    std::vector<int> count = std::vector<int>(37);
    std::vector<std::thread::id> by = std::vector<std::thread::id>(37);
  };
  for (int n : {1, 2}) {
    std::atomic<bool> stop{false};
    gfx::WorkerPool pool(n, stop);
    EXPECT_EQ(pool.size(), n);
    Rows rows;
    gfx::PoolJob job;
    job.context = &rows;
    job.height = int32_t(rows.count.size());
    job.pixels = gfx::kSplitJobPixels;
    job.run = [](const void* c, int32_t first, int32_t end) {
      auto& r = *static_cast<Rows*>(const_cast<void*>(c));
      for (int32_t y = first; y < end; ++y) {
        ++r.count[size_t(y)];
        r.by[size_t(y)] = std::this_thread::get_id();
      }
    };
    for (int i = 0; i < 2000; ++i) pool.run(job);
    for (int c : rows.count) EXPECT_EQ(c, 2000);
    // The first band is the caller's; with two workers the last is not.
    EXPECT_EQ(rows.by.front(), std::this_thread::get_id());
    EXPECT_EQ(rows.by.back() == std::this_thread::get_id(), n == 1);
    job.pixels = gfx::kSplitJobPixels - 1;
    pool.run(job);
    EXPECT_EQ(rows.by.back(), std::this_thread::get_id());
    stop = true;
    job.pixels = gfx::kSplitJobPixels;
    pool.run(job);
    for (int c : rows.count) EXPECT_EQ(c, 2002);
    EXPECT_EQ(rows.by.back(), std::this_thread::get_id());
  }
  EXPECT_EQ(gfx::worker_count_for(8, true), 2);
  EXPECT_EQ(gfx::worker_count_for(0, true), 1);
  EXPECT_EQ(gfx::worker_count_for(8, false), 1);
}

// Banded jobs, alternating with fixed-share ones so that a worker released
// from a banded job (all bands taken before it woke) then takes the next
// job: every row is still run exactly once, on one or two workers.
TEST(WorkerPool, BandedJobsRunEveryRowOnce) {
  for (int n : {1, 2}) {
    std::atomic<bool> stop{false};
    gfx::WorkerPool pool(n, stop);
    std::vector<std::atomic<int>> count(37);
    gfx::PoolJob job;
    job.context = &count;
    job.height = int32_t(count.size());
    job.pixels = gfx::kSplitJobPixels;
    job.run = [](const void* c, int32_t first, int32_t end) {
      auto& rows = *static_cast<std::vector<std::atomic<int>>*>(const_cast<void*>(c));
      for (int32_t y = first; y < end; ++y) rows[size_t(y)].fetch_add(1, std::memory_order_relaxed);
    };
    const int32_t bands[] = {3, 0, 1, 100, 5};
    for (int i = 0; i < 3000; ++i) {
      job.band = bands[i % 5];
      pool.run(job);
    }
    for (const auto& c : count) EXPECT_EQ(c.load(), 3000) << n << " workers";
  }
}

}  // namespace
}  // namespace nv::test
