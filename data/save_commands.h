// The save data and CSV commands. Each returns 0 to go on, or -1 after a
// report or a shown message.
#pragma once

namespace nv {

struct Engine;

int save_command(Engine& e);
int load_command(Engine& e);
int saveend_command(Engine& e);
int csv_command(Engine& e);
int csvinfo_command(Engine& e);

}  // namespace nv
