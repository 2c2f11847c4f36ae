// What the error routine and the log remember for the life of a process.
#pragma once

#include <cstdint>
#include <string>

namespace nv {

struct ErrorState {
  bool dialog_shown = false;        // only the first report is shown
  bool log_header_written = false;  // info.txt's dated header, once per process
};

}  // namespace nv
