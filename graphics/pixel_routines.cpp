#include "graphics/pixel_routines.h"

namespace nv::gfx {

RoutineLevel choose_routine_level(const CpuFeatures& cpu, bool allow_second, bool allow_third) {
  if (allow_third && cpu.sse2) return cpu.avx2 ? RoutineLevel::avx2 : RoutineLevel::sse2;
  if (allow_second && cpu.sse2) return RoutineLevel::sse2;
  return RoutineLevel::portable;
}

void install_routines(PixelRoutines& r, RoutineLevel level) {
  r.requested = level;
  fill_scalar_routines(r.set);
  r.level = RoutineLevel::portable;
  if (level == RoutineLevel::avx2 && fill_avx2_routines(r.set)) {
    r.level = RoutineLevel::avx2;
  } else if (level != RoutineLevel::portable && fill_sse2_routines(r.set)) {
    r.level = RoutineLevel::sse2;
  }
}

void select_routines(PixelRoutines& r, const CpuFeatures& cpu, bool allow_second, bool allow_third) {
  install_routines(r, choose_routine_level(cpu, allow_second, allow_third));
}

const char* routine_level_name(RoutineLevel level) {
  switch (level) {
    case RoutineLevel::sse2: return "sse2";
    case RoutineLevel::avx2: return "avx2";
    default: return "portable";
  }
}

}  // namespace nv::gfx
