#include "runtime/engine_tables.h"

#include "core/engine.h"
#include "runtime/error_table.h"
#include "runtime/script_tables.h"
#include "values/variable_file.h"

namespace nv {

int load_engine_tables(Engine& e) {
  if (load_error_table(e) != 0) return -1;
  if (load_command_table(e) != 0) return -1;
  if (load_script_index(e) != 0) return -1;
  if (load_script_list(e) != 0) return -1;
  if (load_variable_file(e) != 0) return -1;
  if (load_label_table(e) != 0) return -1;
  return 0;
}

}  // namespace nv
