#include "graphics/composite_job.h"

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
void run_rows(const void* context, int32_t first_row, int32_t end_row) {
  run_composite_rows(*static_cast<const CompositeJob*>(context), first_row, end_row);
}
}  // namespace

PoolJob pool_job_of(const CompositeJob& job) {
  return PoolJob{&run_rows, &job, job.height, int64_t(job.width) * job.height};
}

}  // namespace nv::gfx
