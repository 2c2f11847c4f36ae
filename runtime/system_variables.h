// The system variables whose values the interpreter keeps: the current
// task's parameters (34 to 36), return values (38 to 40) and task
// parameters (42 to 44) of its current call level, element k being slot k
// (1 to 10); the script index's second count (70); the virtual-key codes of
// the command table's key table (361 to 489).
#pragma once

namespace nv {

struct SystemVarTable;

void add_runtime_variables(SystemVarTable& t);

}  // namespace nv
