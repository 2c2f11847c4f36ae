// The save data and CSV commands. Each returns 0 to go on, or -1 after a
// report or a shown message.
#pragma once

namespace nv {
struct Engine;
struct SystemVarTable;
}  // namespace nv

namespace nv::data {

int save_command(Engine& e);
int load_command(Engine& e);
int saveend_command(Engine& e);
int csv_command(Engine& e);
int csvinfo_command(Engine& e);

// Registers the system variables of save data: the save folder (57) and
// whether the title folder is read-only (9), which sends saves to the
// user's data folder.
void add_save_variables(SystemVarTable& t);

}  // namespace nv::data
