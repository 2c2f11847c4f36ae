#include "graphics/rule_table.h"

namespace nv::gfx {

void build_rule_table(RuleTable& out, int32_t threshold, int32_t softness, int32_t opacity) {
  const int64_t t = threshold;
  const int64_t ta = softness;
  for (int64_t e = 0; e < 256; ++e) {
    int64_t entry;
    if (ta == 256) {
      entry = e >= 256 - t ? 256 : 0;
    } else {
      const int64_t v = t * (ta >> 1) + t + ((e * ta) >> 1) - 128 * ta;
      entry = v < 256 ? v + 1 : 256;
    }
    // A strongly negative ramp value means "not yet": the weight cannot go
    // below zero.
    if (entry < 0) entry = 0;
    out[std::size_t(e)] = uint32_t((int64_t(opacity) * entry) >> 8);
  }
}

}  // namespace nv::gfx
