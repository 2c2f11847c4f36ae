// The portable kernels: the definition of every blend form, one pixel at a
// time. f(d, s) comes from the mode's table (modes 0 and 1 are computed).
#include <cstring>

#include "graphics/blend_kernels.h"

namespace nv::gfx {
namespace {

template <int Mode>
inline int f_of(const uint8_t* table, int d, int s) {
  if constexpr (Mode == 0) {
    (void)table;
    (void)d;
    return s;
  } else if constexpr (Mode == 1) {
    (void)table;
    return d + s > 255 ? 255 : d + s;
  } else {
    return table[s * 256 + d];
  }
}

// d + (((f - d) x v) >> 8) with an arithmetic (flooring) shift.
inline uint8_t step8(int d, int f, int v) { return uint8_t(d + (((f - d) * v) >> 8)); }

template <int Mode>
void opaque_full(const BlendRow& r) {
  if constexpr (Mode == 0) {
    std::memcpy(r.dst, r.src, size_t(r.width) * 4);
  } else {
    for (int32_t i = 0; i < r.width * 4; ++i) r.dst[i] = uint8_t(f_of<Mode>(r.mode_table, r.dst[i], r.src[i]));
  }
}

template <int Mode>
void opaque_faded(const BlendRow& r) {
  const int a = r.opacity;
  for (int32_t i = 0; i < r.width * 4; ++i) {
    const int d = r.dst[i];
    const int f = f_of<Mode>(r.mode_table, d, r.src[i]);
    if constexpr (Mode == 8) {
      r.dst[i] = uint8_t(d + a * (f - d) / 256);
    } else {
      r.dst[i] = step8(d, f, a);
    }
  }
}

template <int Mode>
void alpha_full(const BlendRow& r) {
  for (int32_t p = 0; p < r.width; ++p) {
    uint8_t* d = r.dst + p * 4;
    const uint8_t* s = r.src + p * 4;
    const int v = s[3] + 1;
    for (int c = 0; c < 3; ++c) d[c] = step8(d[c], f_of<Mode>(r.mode_table, d[c], s[c]), v);
  }
}

template <int Mode>
void alpha_faded(const BlendRow& r) {
  const int a = r.opacity;
  for (int32_t p = 0; p < r.width; ++p) {
    uint8_t* d = r.dst + p * 4;
    const uint8_t* s = r.src + p * 4;
    if constexpr (Mode == 0) {
      const int w = (a * s[3]) >> 8;
      for (int c = 0; c < 3; ++c) d[c] = uint8_t(((d[c] * (256 - w)) >> 8) + (((w + 1) * s[c]) >> 8));
    } else {
      const int v = (a * s[3] + a) >> 8;
      for (int c = 0; c < 3; ++c) d[c] = step8(d[c], f_of<Mode>(r.mode_table, d[c], s[c]), v);
    }
  }
}

template <int Mode>
void rule_plain(const BlendRow& r) {
  for (int32_t p = 0; p < r.width; ++p) {
    const int v = int(r.rule_table[r.rule[p * 4]]);
    if (v <= 1) continue;
    uint8_t* d = r.dst + p * 4;
    const uint8_t* s = r.src + p * 4;
    for (int c = 0; c < 3; ++c) d[c] = step8(d[c], f_of<Mode>(r.mode_table, d[c], s[c]), v);
  }
}

template <int Mode>
void rule_alpha(const BlendRow& r) {
  for (int32_t p = 0; p < r.width; ++p) {
    int64_t v = r.rule_table[r.rule[p * 4]];
    if (v <= 1) continue;
    uint8_t* d = r.dst + p * 4;
    const uint8_t* s = r.src + p * 4;
    v *= Mode == 0 ? s[3] : s[3] + 1;
    for (int c = 0; c < 3; ++c) {
      const int f = f_of<Mode>(r.mode_table, d[c], s[c]);
      d[c] = uint8_t(d[c] + (((f - d[c]) * v) >> 16));
    }
  }
}

template <int... Modes>
struct Filler {
  static constexpr void fill(KernelTable& k) {
    ((k[0][Modes] = &opaque_full<Modes>), ...);
    ((k[1][Modes] = &opaque_faded<Modes>), ...);
    ((k[2][Modes] = &alpha_full<Modes>), ...);
    ((k[3][Modes] = &alpha_faded<Modes>), ...);
    ((k[4][Modes] = &rule_plain<Modes>), ...);
    ((k[5][Modes] = &rule_alpha<Modes>), ...);
  }
};
using AllModes = Filler<0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18>;

struct ScalarTable {
  KernelTable k{};
  constexpr ScalarTable() { AllModes::fill(k); }
};
constexpr ScalarTable kScalarTable{};

void fill_bytes(uint8_t* dst, uint8_t value, int64_t bytes) { std::memset(dst, value, size_t(bytes)); }

void fill_pixels(uint32_t* dst, uint32_t value, int64_t pixels) {
  for (int64_t i = 0; i < pixels; ++i) dst[i] = value;
}

void copy_bytes(uint8_t* dst, const uint8_t* src, int64_t bytes) { std::memmove(dst, src, size_t(bytes)); }

void cross_fade(uint8_t* dst, const uint8_t* p, const uint8_t* q, int64_t bytes, int32_t v) {
  for (int64_t i = 0; i < bytes; ++i) dst[i] = step8(p[i], q[i], v);
}

}  // namespace

BlendKernel scalar_kernel(KernelForm form, int mode) {
  if (mode < 0 || mode >= kKernelModeCount) mode = 0;
  return kScalarTable.k[int(form)][mode];
}

void fill_scalar_routines(RoutineSet& out) {
  for (int f = 0; f < kKernelFormCount; ++f) {
    for (int m = 0; m < kKernelModeCount; ++m) out.kernels[f][m] = scalar_kernel(KernelForm(f), m);
  }
  out.fill_bytes = &fill_bytes;
  out.fill_pixels = &fill_pixels;
  out.copy_bytes = &copy_bytes;
  out.cross_fade = &cross_fade;
}

}  // namespace nv::gfx
