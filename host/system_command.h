// SYSTEM: the screen-saver block, background execution and the four script
// timers. Returns 0 to go on, or -1 after a report.
#pragma once

namespace nv {

struct Engine;

int system_command(Engine& e);

}  // namespace nv
