#include "runtime/system_variables.h"

#include "core/engine.h"
#include "runtime/dispatch.h"
#include "runtime/script_tables.h"
#include "values/system_vars.h"

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

int64_t read_index_second_count(Engine& e, uint32_t, int64_t) { return e.scripts.index_second_count; }

// 361 + k: the virtual-key code of engine key k.
int64_t read_key_code(Engine& e, uint32_t n, int64_t) { return e.scripts.commands.key_table[n - 361]; }

}  // namespace

void add_runtime_variables(SystemVarTable& t) {
  t.ints[34] = t.ints[38] = t.ints[42] = read_task_int;
  t.floats[35] = t.floats[39] = t.floats[43] = read_task_float;
  t.texts[36] = t.texts[40] = t.texts[44] = read_task_text;
  t.ints[70] = read_index_second_count;
  for (uint32_t n = 361; n <= 489; ++n) t.ints[n] = read_key_code;
}

}  // namespace nv
