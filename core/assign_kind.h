// The assignment kinds of a numeric keyword (0 "=", 1 add, 2 subtract,
// 3 multiply, 4 divide) applied to an attribute's current value, with the
// clamps of each kind of attribute. One implementation for task Z, layer
// values and menu Z.
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

// As apply_kind for a Z: set takes the value as given; the arithmetic kinds
// never go below 1, and a division by 0 keeps the current Z.
int64_t apply_kind_z(int64_t current, int64_t value, int op);

// For an attribute held in lo..hi (font sizes, colours, switches): every
// kind, set included, is computed without overflow and its result clamped
// into the range; a division by 0 keeps the current value.
int64_t apply_kind_in_range(int64_t current, int64_t value, int op, int64_t lo, int64_t hi);

}  // namespace nv
