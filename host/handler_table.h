// The handler table: which function handles each command number. The one
// place that lists every subsystem's commands; docs/architecture.md has the
// same list with each handler's folder and file.
#pragma once

namespace nv {

struct DispatchState;

// Fills the direct table (every command not listed keeps the default
// handler, 900050) and the paused one (the pause wrapper everywhere).
void fill_handler_tables(DispatchState& d);

}  // namespace nv
