// Feeds arbitrary bytes to the engine as one of its tables or as a compiled
// script, the other files coming from a small valid title, then runs the
// script's instructions. The first input byte picks the file.
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "fuzz/fuzz_title.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static const std::map<std::string, nv::Bytes> base = nv::fuzz::base_title();
  const std::string fuzzed = nv::fuzz::kTitleFiles[data[0] % std::size(nv::fuzz::kTitleFiles)];

  nv::platform::Platform host = nv::fuzz::headless_host();
  nv::Engine e(host);
  if (!nv::fuzz::load_title(e, base, fuzzed, std::vector<uint8_t>(data + 1, data + size))) return 0;
  const nv::ScriptImage& img = e.scripts.images[0];
  if (!img.valid) return 0;
  // The script's GO jumps back to its start: the run ends at the first
  // failing instruction or after a fixed number of instructions.
  nv::Task task;
  task.script = 0;
  task.image = &img;
  e.stop.store(false);
  nv::fuzz::run_instructions(e, task, 2000);
  return 0;
}
