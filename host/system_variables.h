// The system-variable table: every subsystem's readers and writers,
// registered in one place. Built once; every engine points at it.
#pragma once

namespace nv {

struct SystemVarTable;

const SystemVarTable& system_variable_table();

}  // namespace nv
