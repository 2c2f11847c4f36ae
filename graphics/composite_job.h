// `CompositeJob`: one child layer drawn onto a rectangle of its set's canvas
// with one kernel. `CompositePass`: every child drawn into one rectangle,
// run band by band of rows so that the canvas rows stay in cache from the
// bottom child to the top one, and handed to the worker pool as one job.
#pragma once

#include <cstdint>
#include <vector>

#include "graphics/blend_kernels.h"
#include "graphics/rule_table.h"
#include "graphics/worker_pool.h"

namespace nv::gfx {

enum class JobKind : int32_t { opaque = 101, rule = 102, alpha = 103, rule_alpha = 104 };

struct CompositeJob {
  JobKind kind = JobKind::opaque;
  int32_t top = 0;                 // first row of the job within its pass
  int32_t width = 0, height = 0;   // pixels, rows
  uint8_t* dst = nullptr;          // first destination pixel
  int64_t dst_stride = 0;          // bytes per destination row
  const uint8_t* src = nullptr;    // first source pixel
  int64_t src_stride = 0;
  const uint8_t* rule = nullptr;   // first rule pixel (rule jobs), same stride as the source
  int64_t rule_stride = 0;
  BlendKernel kernel = nullptr;
  int32_t opacity = 256;
  const uint8_t* mode_table = nullptr;
  RuleTable rule_table{};
};

// Runs rows first_row .. end_row - 1 of the job.
void run_composite_rows(const CompositeJob& job, int32_t first_row, int32_t end_row);

// The rows of one rectangle: cleared first when `clear` is set, then the
// jobs in order. Each pixel sees the same steps in the same order as when
// the jobs run one after the other over the whole rectangle.
struct CompositePass {
  int32_t width = 0, height = 0;  // the rectangle
  uint32_t* clear = nullptr;      // its first canvas pixel when it starts transparent black
  int64_t clear_stride = 0;       // canvas pixels per row
  FillPixelsFn fill = nullptr;
  std::vector<CompositeJob> jobs;
  int64_t pixels = 0;             // pixels written, cleared ones included
};

// Canvas bytes a band of rows spans at most (at least one row): small enough
// to stay in a core's second-level cache beside the source rows.
constexpr int64_t kBandBytes = 64 * 1024;

// Runs rows first_row .. end_row - 1 of the pass, band by band.
void run_pass_rows(const CompositePass& pass, int32_t first_row, int32_t end_row);

// The pass as the pool runs it: in bands the workers take in turn.
PoolJob pool_job_of(const CompositePass& pass);

}  // namespace nv::gfx
