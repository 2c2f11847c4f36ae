// Start-up's loading of the engine tables, in their order: the error table
// (so that every later message has its text), the command table and the
// handler tables, the script index (which sizes the variable table), the
// script list, the variable table file with the global variables, and the
// label table.
#pragma once

namespace nv {

struct Engine;

// Returns 0, or -1 when a table failed (reported; the engine is stopping).
int load_engine_tables(Engine& e);

}  // namespace nv
