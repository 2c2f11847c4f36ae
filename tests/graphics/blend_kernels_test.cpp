#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "graphics/blend_kernels.h"
#include "graphics/blend_modes.h"
#include "graphics/blend_tables.h"
#include "graphics/rule_table.h"

namespace nv::gfx {
namespace {

// Every vector form gives byte for byte what the portable form gives, for
// every mode, form, opacity and odd row length.
TEST(BlendKernels, VectorFormsMatchPortableForm) {
  BlendTables tables;
  build_blend_tables(tables);
  RoutineSet scalar, sse2, avx2;
  fill_scalar_routines(scalar);
  std::vector<RoutineSet*> sets;
  if (fill_sse2_routines(sse2)) sets.push_back(&sse2);
  if (__builtin_cpu_supports("avx2")) {
    // On such a processor the 32-byte kernels must have been built.
    ASSERT_TRUE(fill_avx2_routines(avx2));
    sets.push_back(&avx2);
  }
  std::mt19937 rng(7);
  // Rows shorter and longer than the kernels' block of rule weights, and
  // rule tables with a soft ramp and with hard 0 / 1 / 256 weights.
  std::vector<RuleTable> rule_tables(2);
  build_rule_table(rule_tables[0], 140, 60, 200);
  build_rule_table(rule_tables[1], 128, 64, 256);
  for (const int w : {77, 600})
    for (const RuleTable& rt : rule_tables) {
      std::vector<uint8_t> dst(w * 4), src(w * 4), rule(w * 4);
      for (auto* set : sets) {
        for (int f = 0; f < kKernelFormCount; ++f) {
          for (int m = 0; m < kKernelModeCount; ++m) {
            for (int a : {0, 1, 128, 255, 256}) {
              for (auto& b : dst) b = uint8_t(rng());
              for (auto& b : src) b = uint8_t(rng());
              for (auto& b : rule) b = uint8_t(rng());
              std::vector<uint8_t> want = dst, got = dst;
              BlendRow r{want.data(), src.data(), rule.data(), w, a, rt.data(), tables.mode_table(m)};
              scalar.kernels[f][m](r);
              r.dst = got.data();
              set->kernels[f][m](r);
              ASSERT_EQ(want, got) << "form " << f << " mode " << m << " A " << a << " width " << w;
            }
          }
        }
      }
    }
}

TEST(BlendModes, ExamplesOfTheModeTable) {
  EXPECT_EQ(blend_byte(2, 100, 60), 0);
  EXPECT_EQ(blend_byte(4, 0, 0), 0);
  RuleTable rt;
  build_rule_table(rt, 128, 256, 256);
  for (int e = 0; e < 256; ++e) EXPECT_EQ(rt[size_t(e)], e < 128 ? 0u : 256u);
}

}  // namespace
}  // namespace nv::gfx
