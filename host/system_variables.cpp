#include "host/system_variables.h"

#include "data/save_commands.h"
#include "input/input_sysvars.h"
#include "runtime/system_variables.h"
#include "values/system_vars.h"

namespace nv {

namespace {

SystemVarTable build_table() {
  SystemVarTable t;
  add_held_variables(t);  // first: an owner's own reader and writer take their place
  add_value_variables(t);
  add_runtime_variables(t);
  data::add_save_variables(t);
  input::add_input_variables(t);
  return t;
}

}  // namespace

const SystemVarTable& system_variable_table() {
  static const SystemVarTable table = build_table();
  return table;
}

}  // namespace nv
