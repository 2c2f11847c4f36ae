// `PixelRoutines`: the table of memory and blend routines the engine draws
// with, chosen once at start-up from the processor's vector features
// (SystemInfo::cpu_features) and the user settings (nvcfg.dat words 2
// and 3).
#pragma once

#include <cstdint>

#include "graphics/blend_kernels.h"
#include "platform/system_info.h"

namespace nv::gfx {

using platform::CpuFeatures;

// Routine levels: 1 the portable set, 2 the SSE2 set, 3 the AVX2 set.
enum class RoutineLevel : uint8_t { portable = 1, sse2 = 2, avx2 = 3 };

// Level 2 needs SSE2 and the second-set switch; level 3 needs the third-set
// switch and wins over level 2. Level 3 installs the AVX2 set when the
// processor has AVX2 and the SSE2 set otherwise; a build without vector sets
// falls back to the portable one.
struct PixelRoutines {
  RoutineLevel requested = RoutineLevel::portable;  // what the settings and processor allow
  RoutineLevel level = RoutineLevel::portable;      // what is installed
  RoutineSet set;
};

RoutineLevel choose_routine_level(const CpuFeatures& cpu, bool allow_second, bool allow_third);

// Installs the routines of `level` (or the best lower level the build has).
void install_routines(PixelRoutines& r, RoutineLevel level);

// choose_routine_level + install_routines.
void select_routines(PixelRoutines& r, const CpuFeatures& cpu, bool allow_second, bool allow_third);

const char* routine_level_name(RoutineLevel level);

}  // namespace nv::gfx
