#include "runtime/task_vars.h"

#include "host/engine.h"

namespace nv {

namespace {

// The values system variable `number` shows, or nullptr without a task.
const CallValues* values_of(Engine& e, uint32_t number) {
  const Task* t = e.dispatch.task;
  if (!t) return nullptr;
  size_t level = static_cast<size_t>(t->gosub_depth);
  if (number <= 36) return &t->params[level];
  if (number <= 40) return &t->returns[level];
  return &t->task_params;
}

bool slot_ok(int64_t k) { return k >= 0 && k <= kParamSlots; }

}  // namespace

int64_t read_task_int(Engine& e, uint32_t number, int64_t k) {
  const CallValues* v = values_of(e, number);
  return v && slot_ok(k) ? v->ints[size_t(k)] : 0;
}

double read_task_float(Engine& e, uint32_t number, int64_t k) {
  const CallValues* v = values_of(e, number);
  return v && slot_ok(k) ? v->floats[size_t(k)] : 0.0;
}

void read_task_text(Engine& e, uint32_t number, int64_t k, std::string& out) {
  const CallValues* v = values_of(e, number);
  if (v && slot_ok(k)) out = v->texts[size_t(k)];
}

}  // namespace nv
