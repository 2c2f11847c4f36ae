// The blend kernels and memory routines compiled for AVX2 (32-byte vectors), chosen at run time when the processor has it.
// This file is built with its own instruction-set flag (graphics/CMakeLists.txt).
#include <cstddef>
#include <cstdint>

#include "graphics/blend_kernels.h"

#if defined(__AVX2__)
#include <immintrin.h>

namespace nv::gfx {
namespace avx2_impl {
namespace {
#define NV_VEC_BYTES 32
#include "graphics/blend_kernels_simd.h"
#undef NV_VEC_BYTES
}  // namespace
}  // namespace avx2_impl

bool fill_avx2_routines(RoutineSet& out) {
  avx2_impl::fill_vector_routines(out);
  return true;
}

}  // namespace nv::gfx

#else

namespace nv::gfx {
bool fill_avx2_routines(RoutineSet&) { return false; }
}  // namespace nv::gfx

#endif
