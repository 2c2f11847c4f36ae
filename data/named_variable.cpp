#include "data/named_variable.h"

#include "core/engine.h"
#include "runtime/arg_slots.h"
#include "values/system_vars.h"
#include "values/variables.h"

namespace nv::data {

NamedVariable named_variable(Engine& e, int keyword) {
  NamedVariable n;
  if (!e.args.has(keyword)) return n;
  const ArgSlot& s = e.args.at(keyword);
  if (s.var_number < 0) return n;
  n.number = static_cast<uint32_t>(s.var_number);
  n.var = e.vars.find(n.number);
  n.element = s.var_element;
  return n;
}

int64_t named_int(Engine& e, const NamedVariable& n, int64_t k) {
  if (!n.var) return 0;
  if (n.number < kFirstUserVariable) {
    if (n.var->type == kVarFloat) return truncate_to_int(read_system_float(e, n.number, k));
    return n.var->type == kVarInt ? read_system_int(e, n.number, k) : 0;
  }
  return read_int(*n.var, k);
}

double named_float(Engine& e, const NamedVariable& n, int64_t k) {
  if (!n.var) return 0.0;
  if (n.number < kFirstUserVariable) {
    if (n.var->type == kVarInt) return static_cast<double>(read_system_int(e, n.number, k));
    return n.var->type == kVarFloat ? read_system_float(e, n.number, k) : 0.0;
  }
  return read_float(*n.var, k);
}

std::string_view named_text(const NamedVariable& n, int64_t k) { return n.var ? read_text(*n.var, k) : std::string_view(); }

}  // namespace nv::data
