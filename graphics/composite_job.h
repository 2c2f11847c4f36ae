// `CompositeJob`: one child layer drawn onto a rectangle of its set's canvas
// with one kernel, split into bands of rows for the worker pool.
#pragma once

#include <cstdint>

#include "graphics/blend_kernels.h"
#include "graphics/rule_table.h"
#include "graphics/worker_pool.h"

namespace nv::gfx {

enum class JobKind : int32_t { opaque = 101, rule = 102, alpha = 103, rule_alpha = 104 };

struct CompositeJob {
  JobKind kind = JobKind::opaque;
  int32_t width = 0, height = 0;  // pixels, rows
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

// The job as the pool runs it.
PoolJob pool_job_of(const CompositeJob& job);

}  // namespace nv::gfx
