// Replacing a file whole, so that it holds either all of its old bytes or all
// of the new ones whatever happens during the write (a crash, a kill, a full
// disk): the new bytes go to a temporary file of a unique name in the same
// folder, which is flushed to the disk and renamed over the file; the folder
// is flushed after the rename.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace nv::platform {

struct ReplaceResult {
  int error = 0;     // the host's error number; 0 on success
  std::string text;  // the host's text for it (empty on success)
  bool ok() const { return error == 0; }
};

// Writes the concatenation of `pieces` as the file `host_path` (a host path,
// UTF-8). On failure before the rename the old file is untouched and the
// temporary removed; a failure to flush the folder after the rename is
// reported although the new file is in place. Temporaries left by an earlier
// replace that never finished (the process was killed) are removed after a
// replace succeeds; they never stand in the way of one.
ReplaceResult replace_file(const std::string& host_path, std::span<const std::span<const uint8_t>> pieces);

// Fault injection for tests: when this environment variable holds
// "STEP:kill" or "STEP:ERRNO", the replace kills its own process with SIGKILL,
// or fails as if the host had reported ERRNO, right after step STEP:
//   1            the temporary file has been created,
//   2 .. n+1     piece 1 .. n has been written,
//   n+2          the temporary file has been flushed,
//   n+3          it has been renamed over the file,
//   n+4          the folder has been flushed.
inline constexpr const char* kReplaceFaultVariable = "NIVALO_REPLACE_FAULT";

}  // namespace nv::platform
