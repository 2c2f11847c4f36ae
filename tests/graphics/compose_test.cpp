// Composition of layer sets from titles, and the worker pool's bands.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "graphics/compose.h"
#include "graphics/worker_pool.h"
#include "runtime/scheduler.h"
#include "tests/graphics/layer_test_support.h"
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

}  // namespace
}  // namespace nv::test
