// The row kernels of the blend modes: the argument record every kernel takes,
// the six kernel forms, and the functions that fill a routine table with the
// portable, SSE2 or AVX2 set.
//
// A kernel blends one row of `width` pixels of `src` onto `dst` (4 bytes per
// pixel: blue, green, red, alpha). With d the destination byte, s the source
// byte, sa the source alpha byte, A the opacity and f = f(d, s) of the mode:
//   opaque_full   every byte: d' = f
//   opaque_faded  every byte: d' = d + (((f - d) x A) >> 8)
//                 (mode 8: d + trunc(A x (f - d) / 256))
//   alpha_full    blue, green, red: d' = d + (((f - d) x (sa + 1)) >> 8)
//   alpha_faded   v = (A x sa + A) >> 8, d' = d + (((f - d) x v) >> 8);
//                 mode 0: w = (A x sa) >> 8,
//                 d' = ((d x (256 - w)) >> 8) + (((w + 1) x s) >> 8)
//   rule          v = rule_table[blue byte of the rule pixel]; when v > 1
//                 blue, green, red: d' = d + (((f - d) x v) >> 8)
//   rule_alpha    v as for rule; when v > 1, v = v x (sa + 1) (mode 0:
//                 v x sa), d' = d + (((f - d) x v) >> 16)
// The alpha forms leave the destination alpha byte alone. The vector forms
// give exactly the results of the portable form.
#pragma once

#include <cstdint>

namespace nv::gfx {

enum class KernelForm : uint8_t {
  opaque_full = 0,
  opaque_faded = 1,
  alpha_full = 2,
  alpha_faded = 3,
  rule = 4,
  rule_alpha = 5,
};
inline constexpr int kKernelFormCount = 6;
inline constexpr int kKernelModeCount = 19;

struct BlendRow {
  uint8_t* dst = nullptr;
  const uint8_t* src = nullptr;
  const uint8_t* rule = nullptr;         // rule image row (rule forms)
  int32_t width = 0;                     // pixels
  int32_t opacity = 256;                 // `A`, 0..256 (faded forms)
  const uint32_t* rule_table = nullptr;  // 256 weights (rule forms)
  // f(d, s) of the row's mode at [s x 256 + d]; at least 3 more readable
  // bytes follow the table.
  const uint8_t* mode_table = nullptr;
};

using BlendKernel = void (*)(const BlendRow&);

// kernels[form][mode]
using KernelTable = BlendKernel[kKernelFormCount][kKernelModeCount];

// Memory routines of a routine set.
using FillBytesFn = void (*)(uint8_t* dst, uint8_t value, int64_t bytes);
using FillPixelsFn = void (*)(uint32_t* dst, uint32_t value, int64_t pixels);
using CopyBytesFn = void (*)(uint8_t* dst, const uint8_t* src, int64_t bytes);
// Every byte: d' = p + (((q - p) x v) >> 8), v in 0..256.
using CrossFadeFn = void (*)(uint8_t* dst, const uint8_t* p, const uint8_t* q, int64_t bytes,
                             int32_t v);

struct RoutineSet {
  KernelTable kernels{};
  FillBytesFn fill_bytes = nullptr;
  FillPixelsFn fill_pixels = nullptr;
  CopyBytesFn copy_bytes = nullptr;
  CrossFadeFn cross_fade = nullptr;
};

// The portable set (always available).
void fill_scalar_routines(RoutineSet& out);
// The vector sets; each returns false (and leaves `out` alone) when the
// build has no such set.
bool fill_sse2_routines(RoutineSet& out);
bool fill_avx2_routines(RoutineSet& out);

// The portable kernel of (form, mode); the vector kernels run their last
// pixels of a row through it.
BlendKernel scalar_kernel(KernelForm form, int mode);

}  // namespace nv::gfx
