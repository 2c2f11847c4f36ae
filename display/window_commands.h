// The window commands: WINDOW, WINDOWEND and WINDOWINFO.
#pragma once

namespace nv {
struct Engine;
}  // namespace nv

namespace nv::display {

int window_command(Engine& e);
int windowend_command(Engine& e);
int windowinfo_command(Engine& e);

}  // namespace nv::display
