// `RuleTable`: the 256 weights of a rule-image transition, indexed by the
// rule pixel's blue byte, built from the child's `T`, `TA` and `A`.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace nv::gfx {

using RuleTable = std::array<uint32_t, 256>;

// `TA` 256: a hard threshold (entries 256 - T .. 255 are 256, the rest 0);
// otherwise a ramp whose steepness grows with `TA` (0 is a uniform
// cross-fade by `T`). Every entry is then scaled by `A` / 256.
void build_rule_table(RuleTable& out, int32_t threshold, int32_t softness, int32_t opacity);

}  // namespace nv::gfx
