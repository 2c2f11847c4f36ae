// How a numeric layer attribute takes a keyword's value: the assignment
// kind applied to the current value, with the clamps of each attribute.
#pragma once

#include <cstdint>

namespace nv {

// Set stores `value`; add, subtract, multiply, divide combine it with
// `current` (wrapping, like script arithmetic); dividing by zero keeps
// `current`. No clamp.
int64_t apply_kind(int64_t current, int64_t value, int op);

// As apply_kind for `A` and `T`: add clamps only above 256, subtract only
// below 0, multiply and divide both ways; set stores the value as given.
int64_t apply_kind_0_256(int64_t current, int64_t value, int op);

}  // namespace nv
