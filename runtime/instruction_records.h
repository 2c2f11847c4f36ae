// Direct access to the current instruction's argument records, for the
// handlers that read their records themselves (IF, ELSE, LOOP, GO, LET ...).
// Inline: LET and IF read two or three records on every run.
#pragma once

#include <cstdint>
#include <span>

#include "core/engine.h"
#include "runtime/dispatch.h"
#include "runtime/script_tables.h"
#include "values/script_expressions.h"

namespace nv {

// Reports 900000 (a damaged script file); returns false or an empty span.
bool records_missing(Engine& e);
std::span<const uint8_t> expression_outside(Engine& e, bool& ok);

// False after reporting 900000 when the instruction has fewer than `n`
// records (a damaged script file).
inline bool require_records(Engine& e, int n) {
  if (e.dispatch.arg_count >= n && e.dispatch.task && e.dispatch.task->image) return true;
  return records_missing(e);
}

// Record `k` of the current instruction (k below the argument count).
inline ArgRecordView current_record(const Engine& e, int k) {
  return e.dispatch.task->image->record(static_cast<uint32_t>(e.dispatch.instruction), k);
}

// The expression bytes record `rec` points at; `ok` false after reporting
// 900000 when they lie outside the script's resource area.
inline std::span<const uint8_t> record_expression(Engine& e, ArgRecordView rec, bool& ok) {
  std::span<const uint8_t> res = e.dispatch.task->image->resources;
  uint32_t off = rec.offset(), size = rec.size();
  ok = off <= res.size() && size <= res.size() - off;
  if (!ok) return expression_outside(e, ok);
  return res.subspan(off, size);
}

inline std::span<const uint8_t> record_expression(Engine& e, int k, bool& ok) {
  return record_expression(e, current_record(e, k), ok);
}

// Evaluates record `k` as an integer with its own selector; `ok` as above.
inline int64_t record_int(Engine& e, int k, bool& ok) {
  ArgRecordView rec = current_record(e, k);
  std::span<const uint8_t> x = record_expression(e, rec, ok);
  if (!ok) return 0;
  return eval_script_int(e, x, rec.selector());
}

}  // namespace nv
