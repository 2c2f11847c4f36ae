// The blend kernels and memory routines compiled for SSE2 (16-byte vectors): the baseline vector set of x86 processors.
// This file is built with its own instruction-set flag (graphics/CMakeLists.txt).
#include <cstddef>
#include <cstdint>

#include "graphics/blend_kernels.h"

#if defined(__SSE2__)
#include <emmintrin.h>

namespace nv::gfx {
namespace sse2_impl {
namespace {
#define NV_VEC_BYTES 16
#include "graphics/blend_kernels_simd.h"
#undef NV_VEC_BYTES
}  // namespace
}  // namespace sse2_impl

bool fill_sse2_routines(RoutineSet& out) {
  sse2_impl::fill_vector_routines(out);
  return true;
}

}  // namespace nv::gfx

#else

namespace nv::gfx {
bool fill_sse2_routines(RoutineSet&) { return false; }
}  // namespace nv::gfx

#endif
