// The one place the handler tables are filled. A subsystem that implements
// a command sets its entry here; every other entry keeps the default
// handler (900050).
#include <cstddef>

#include "runtime/command_defs.h"
#include "runtime/dispatch.h"
#include "runtime/error_table.h"

namespace nv {

void fill_handler_tables(DispatchState& d) {
  d.direct.fill(default_handler);
  d.paused.fill(pause_wrapper);

  namespace c = cmd;
  for (int n : {c::CDDA, c::ERRORINFO, c::MIDIEND, c::MIDIINFO, c::PLUG, c::SAVEINFO, c::VAR})
    d.direct[static_cast<size_t>(n)] = evaluate_only_handler;
  for (int n : {c::DEBUGLIST, c::LABEL, c::PREP, c::RETURNBREAK, c::S_FLT, c::S_INT, c::S_STR})
    d.direct[static_cast<size_t>(n)] = nothing_handler;
  d.direct[c::ERROR_] = error_command;
}

}  // namespace nv
