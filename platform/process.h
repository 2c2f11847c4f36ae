// This process and the programs it starts: the engine itself again (END
// RESTART) as a new process that outlives this one, the settings program
// in its place (/nvcfg), and the facts tools name files by.
#pragma once

#include <string>
#include <vector>

namespace nv::platform {

// Starts `program` with `args` (not including the program name) in the
// current directory; returns false when it could not be started.
bool start_process(const std::string& program, const std::vector<std::string>& args);

// Runs `program` with `args` in place of this process. Returns only when it
// could not be started.
void replace_process(const std::string& program, const std::vector<std::string>& args);

// The path of the running executable; empty when the host does not tell.
std::string executable_path();

// This process's number.
long process_id();

}  // namespace nv::platform
