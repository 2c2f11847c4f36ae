// The engine process's start-up, as far as the subsystems exist: user
// settings, packs, the title configuration and its size rules, the write
// probe, the engine tables and the task "SYSTEM" at "SYSTEM_START".
#pragma once

#include <string>

namespace nv {

struct Engine;

struct StartupResult {
  bool ok = false;
};

// `exe_path`: the engine executable (for an appended pack).
StartupResult start_engine(Engine& e, const std::string& exe_path);

// Whether the title folder can be written: creates and deletes a probe
// file, leaving any file already there untouched.
bool probe_title_folder_writable(Engine& e);

}  // namespace nv
