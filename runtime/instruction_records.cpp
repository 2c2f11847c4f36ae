#include "runtime/instruction_records.h"

#include "data/evaluator.h"
#include "host/engine.h"
#include "runtime/error_report.h"

namespace nv {

bool require_records(Engine& e, int n) {
  if (e.dispatch.arg_count >= n && e.dispatch.task && e.dispatch.task->image) return true;
  report(e, 900000);
  return false;
}

ArgRecordView current_record(const Engine& e, int k) {
  return e.dispatch.task->image->record(static_cast<uint32_t>(e.dispatch.instruction), k);
}

std::span<const uint8_t> record_expression(Engine& e, int k, bool& ok) {
  const ScriptImage* img = e.dispatch.task->image;
  ArgRecordView r = current_record(e, k);
  uint32_t off = r.offset(), size = r.size();
  ok = off <= img->resources.size() && size <= img->resources.size() - off;
  if (!ok) {
    report(e, 900000);
    return {};
  }
  return img->resources.subspan(off, size);
}

int64_t record_int(Engine& e, int k, bool& ok) {
  std::span<const uint8_t> x = record_expression(e, k, ok);
  if (!ok) return 0;
  return eval_int(e, x, current_record(e, k).selector());
}

}  // namespace nv
