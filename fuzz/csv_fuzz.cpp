// CSV splitting over arbitrary bytes: the count CSVINFO reports is the number
// of elements CSV writes, a limit keeps exactly the first elements, and every
// element lies inside the text (or is the row marker).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "data/csv_split.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* in, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(in), size);
  nv::csv::Split all = nv::csv::split(text);
  if (all.count != all.elements.size()) __builtin_trap();
  size_t limit = size ? in[0] % 8 : 0;
  nv::csv::Split some = nv::csv::split(text, limit);
  if (some.count != all.count || some.elements.size() != std::min(limit, all.count)) __builtin_trap();
  for (size_t k = 0; k < some.elements.size(); ++k)
    if (some.elements[k] != all.elements[k]) __builtin_trap();
  for (std::string_view e : all.elements) {
    bool inside = e.data() >= text.data() && e.data() + e.size() <= text.data() + text.size();
    if (!e.empty() && !inside && e != "\r") __builtin_trap();
    if (e.find_first_of("\r\n") != std::string_view::npos && e != "\r") __builtin_trap();
  }
  return 0;
}
