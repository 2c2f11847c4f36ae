// The variable table file (nvv.nbn) from the input over a valid title: the
// global records are created at load, the script's records when the script
// is installed; then every element of every variable the file made is read.
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
  nv::fuzz::load_title(e, base, "nvv.nbn", std::vector<uint8_t>(data, data + size));
  nv::apply_variable_records(e, 0);
  uint64_t sum = 0;
  for (const nv::Variable& v : e.vars.vars) {
    for (int64_t k = 0; k < v.count && k < 4096; ++k) {
      sum += static_cast<uint64_t>(nv::read_int(v, k));
      sum += nv::read_text(v, k).size();
    }
  }
  // The reads are the check (under AddressSanitizer); the sum keeps them.
  static volatile uint64_t sink;
  sink = sum;
  return 0;
}
