// The VIZud command line, callable in-process:
//   VIZud [--check] [--max-errors N] [--quiet] PROJECT_DIR
// compiles PROJECT_DIR's scripts into PROJECT_DIR/nvbin/. Returns the exit
// status: 0 compiled, 1 errors in the sources (reported on `err`, nothing
// written), 2 bad usage.
#pragma once

#include <ostream>
#include <span>
#include <string>

namespace nv::vizud {

int run_vizud(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace nv::vizud
