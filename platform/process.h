// Starting programs: the engine itself again (END RESTART) with the same
// arguments, as a new process that outlives this one.
#pragma once

#include <string>
#include <vector>

namespace nv::platform {

// Starts `program` with `args` (not including the program name) in the
// current directory; returns false when it could not be started.
bool start_process(const std::string& program, const std::vector<std::string>& args);

// The path of the running executable.
std::string executable_path();

}  // namespace nv::platform
