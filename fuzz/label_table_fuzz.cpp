// The label table file (nvl.nbn) from the input over a valid title; every
// label found is looked up again by its name, then the script runs, its GO
// going where the input's label says.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "fuzz/fuzz_title.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::map<std::string, nv::Bytes> base = nv::fuzz::base_title();
  nv::platform::Platform host = nv::fuzz::headless_host();
  nv::Engine e(host);
  if (!nv::fuzz::load_title(e, base, "nvl.nbn", std::vector<uint8_t>(data, data + size))) return 0;
  for (const nv::Label& l : e.scripts.labels.labels) {
    nv::find_label(e.scripts.labels, l.name);
  }
  nv::Task task;
  task.script = 0;
  task.image = &e.scripts.images[0];
  e.stop.store(false);
  nv::fuzz::run_instructions(e, task, 2000);
  nv::find_label(e.scripts.labels, std::string(reinterpret_cast<const char*>(data), size < 16 ? size : 16));
  return 0;
}
