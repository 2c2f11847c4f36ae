// The evaluator's integer operators: 64-bit arithmetic on the
// two's-complement bits (it wraps), division and remainder that never trap,
// and the constants of the push tokens.
// Shared by the token evaluator and the pre-decoded expressions.
#pragma once

#include <cstdint>

namespace nv::int_ops {

inline int64_t add(int64_t a, int64_t b) { return static_cast<int64_t>(static_cast<uint64_t>(a) + static_cast<uint64_t>(b)); }
inline int64_t sub(int64_t a, int64_t b) { return static_cast<int64_t>(static_cast<uint64_t>(a) - static_cast<uint64_t>(b)); }
inline int64_t mul(int64_t a, int64_t b) { return static_cast<int64_t>(static_cast<uint64_t>(a) * static_cast<uint64_t>(b)); }
inline int64_t neg(int64_t a) { return static_cast<int64_t>(0 - static_cast<uint64_t>(a)); }

// A zero divisor gives 0; INT64_MIN / -1 wraps to INT64_MIN.
inline int64_t div(int64_t a, int64_t b) { return b == 0 ? 0 : b == -1 ? neg(a) : a / b; }

// A zero divisor gives 0, and so does -1 (whose remainder is always 0).
inline int64_t rem(int64_t a, int64_t b) { return (b == 0 || b == -1) ? 0 : a % b; }

// The signed little-endian constant of a push token's first `width` bytes.
inline int64_t payload_int(const uint8_t* p, uint32_t width) {
  uint64_t v = 0;
  for (uint32_t k = 0; k < width; ++k) v |= uint64_t(p[k]) << (8 * k);
  if (width < 8) {
    uint64_t sign = uint64_t(1) << (8 * width - 1);
    v = (v ^ sign) - sign;  // sign-extend
  }
  return static_cast<int64_t>(v);
}

}  // namespace nv::int_ops
