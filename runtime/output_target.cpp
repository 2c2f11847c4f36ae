#include "runtime/output_target.h"

#include "core/engine.h"
#include "core/error_report.h"
#include "runtime/arg_slots.h"
#include "values/variables.h"

namespace nv {

OutputTarget output_target(Engine& e, int keyword) {
  OutputTarget t;
  if (!e.args.has(keyword)) return t;
  const ArgSlot& s = e.args.at(keyword);
  if (s.var_number < static_cast<int32_t>(kFirstUserVariable)) return t;
  t.var = e.vars.find(static_cast<uint32_t>(s.var_number));
  t.element = s.var_element;
  return t;
}

int store_int(Engine& e, const OutputTarget& t, int64_t v) {
  if (!t.var) return 0;
  switch (t.var->type) {
    case kVarInt: write_int(*t.var, t.element, v); return 0;
    case kVarFloat: write_float(*t.var, t.element, static_cast<double>(v)); return 0;
    default: return report(e, 101140);
  }
}

int store_float(Engine& e, const OutputTarget& t, double v) {
  if (!t.var) return 0;
  switch (t.var->type) {
    case kVarInt: write_int(*t.var, t.element, truncate_to_int(v)); return 0;
    case kVarFloat: write_float(*t.var, t.element, v); return 0;
    default: return report(e, 101140);
  }
}

int store_text(Engine& e, const OutputTarget& t, std::string_view v) {
  if (!t.var) return 0;
  return write_text(e, *t.var, t.element, v) != 0 ? -1 : 0;
}

int store_zero(Engine& e, const OutputTarget& t) {
  if (!t.var) return 0;
  switch (t.var->type) {
    case kVarInt: write_int(*t.var, t.element, 0); return 0;
    case kVarFloat: write_float(*t.var, t.element, 0.0); return 0;
    case kVarString: return store_text(e, t, "");
    default: return report(e, 101140);
  }
}

}  // namespace nv
