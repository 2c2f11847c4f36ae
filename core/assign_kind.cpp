#include "core/assign_kind.h"

#include <algorithm>
#include <limits>

namespace nv {

int64_t apply_kind(int64_t current, int64_t value, int op) {
  const uint64_t c = uint64_t(current), v = uint64_t(value);
  switch (op) {
    case 1: return int64_t(c + v);
    case 2: return int64_t(c - v);
    case 3: return int64_t(c * v);
    case 4:
      if (value == 0) return current;
      if (current == std::numeric_limits<int64_t>::min() && value == -1) return current;
      return current / value;
    default: return value;
  }
}

int64_t apply_kind_0_256(int64_t current, int64_t value, int op) {
  const int64_t r = apply_kind(current, value, op);
  switch (op) {
    case 1: return std::min<int64_t>(r, 256);
    case 2: return std::max<int64_t>(r, 0);
    case 3:
    case 4: return std::clamp<int64_t>(r, 0, 256);
    default: return r;
  }
}

int64_t apply_kind_z(int64_t current, int64_t value, int op) {
  if (op < 1 || op > 4) return value;
  if (op == 4 && value == 0) return current;
  const int64_t r = apply_kind(current, value, op);
  return r <= 0 ? 1 : r;
}

int64_t apply_kind_in_range(int64_t current, int64_t value, int op, int64_t lo, int64_t hi) {
  const __int128 c = current, v = value;
  __int128 r = v;
  switch (op) {
    case 1: r = c + v; break;
    case 2: r = c - v; break;
    case 3: r = c * v; break;
    case 4: r = value == 0 ? c : c / v; break;
    default: break;
  }
  return int64_t(r < lo ? lo : r > hi ? hi : r);
}

}  // namespace nv
