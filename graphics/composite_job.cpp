#include "graphics/composite_job.h"

#include <algorithm>

namespace nv::gfx {

void run_composite_rows(const CompositeJob& job, int32_t first_row, int32_t end_row) {
  BlendRow r;
  r.width = job.width;
  r.opacity = job.opacity;
  r.mode_table = job.mode_table;
  r.rule_table = job.rule_table.data();
  for (int32_t y = first_row; y < end_row; ++y) {
    r.dst = job.dst + job.dst_stride * y;
    r.src = job.src + job.src_stride * y;
    r.rule = job.rule ? job.rule + job.rule_stride * y : nullptr;
    job.kernel(r);
  }
}

namespace {
int32_t band_rows(const CompositePass& pass) {
  return int32_t(std::max<int64_t>(1, kBandBytes / std::max<int64_t>(4, int64_t(pass.width) * 4)));
}
}  // namespace

void run_pass_rows(const CompositePass& pass, int32_t first_row, int32_t end_row) {
  const int32_t band = band_rows(pass);
  for (int32_t b = first_row; b < end_row; b += band) {
    const int32_t e = std::min(end_row, b + band);
    if (pass.clear) {
      for (int32_t y = b; y < e; ++y) pass.fill(pass.clear + pass.clear_stride * y, 0u, pass.width);
    }
    for (const CompositeJob& j : pass.jobs) {
      const int32_t lo = std::max(b, j.top) - j.top, hi = std::min(e, j.top + j.height) - j.top;
      if (lo < hi) run_composite_rows(j, lo, hi);
    }
  }
}

namespace {
void run_rows(const void* context, int32_t first_row, int32_t end_row) {
  run_pass_rows(*static_cast<const CompositePass*>(context), first_row, end_row);
}
}  // namespace

PoolJob pool_job_of(const CompositePass& pass) {
  return PoolJob{&run_rows, &pass, pass.height, pass.pixels, band_rows(pass)};
}

}  // namespace nv::gfx
