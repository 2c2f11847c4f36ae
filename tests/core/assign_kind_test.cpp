#include "core/assign_kind.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace nv {
namespace {

constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
constexpr int64_t kMax = std::numeric_limits<int64_t>::max();

TEST(AssignKind, ZArithmeticStaysPositive) {
  EXPECT_EQ(apply_kind_z(10, 3, 0), 3);
  EXPECT_EQ(apply_kind_z(10, 3, 1), 13);
  EXPECT_EQ(apply_kind_z(10, 30, 2), 1);
  EXPECT_EQ(apply_kind_z(10, -1, 3), 1);
  EXPECT_EQ(apply_kind_z(10, 0, 4), 10);
  EXPECT_EQ(apply_kind_z(10, 20, 4), 1);
  EXPECT_EQ(apply_kind_z(10, 5, 4), 2);
  EXPECT_EQ(apply_kind_z(kMin, -1, 4), 1);  // the one division that overflows
}

TEST(AssignKind, ArithmeticWrapsAndDivisionByZeroKeepsTheValue) {
  EXPECT_EQ(apply_kind(kMax, 1, 1), kMin);
  EXPECT_EQ(apply_kind(kMin, 1, 2), kMax);
  EXPECT_EQ(apply_kind(7, 0, 4), 7);
  EXPECT_EQ(apply_kind(kMin, -1, 4), kMin);
  EXPECT_EQ(apply_kind(-7, 2, 4), -3);  // toward zero
  EXPECT_EQ(apply_kind(5, 9, 0), 9);
}

TEST(AssignKind, OpacityClampsOnlyWhereTheKindCanLeaveTheRange) {
  EXPECT_EQ(apply_kind_0_256(200, 300, 0), 300);  // a plain value is stored as given
  EXPECT_EQ(apply_kind_0_256(200, 100, 1), 256);
  EXPECT_EQ(apply_kind_0_256(-50, 10, 1), -40);    // add clamps only above
  EXPECT_EQ(apply_kind_0_256(10, 100, 2), 0);
  EXPECT_EQ(apply_kind_0_256(300, 10, 2), 290);    // subtract clamps only below
  EXPECT_EQ(apply_kind_0_256(100, 3, 3), 256);
  EXPECT_EQ(apply_kind_0_256(100, -1, 4), 0);
}

TEST(AssignKind, RangedAttributesClampEveryKindWithoutOverflow) {
  EXPECT_EQ(apply_kind_in_range(24, 10, 2, 1, 256), 14);
  EXPECT_EQ(apply_kind_in_range(24, 100, 2, 1, 256), 1);  // a size never reaches 0
  EXPECT_EQ(apply_kind_in_range(0xFFFF00, 0x1000, 1, 0, 0xFFFFFF), 0xFFFFFF);
  EXPECT_EQ(apply_kind_in_range(-1, -1, 1, -1, 0xFFFFFF), -1);  // COLOR2 stays "none"
  EXPECT_EQ(apply_kind_in_range(1, kMax, 1, 0, 1), 1);
  EXPECT_EQ(apply_kind_in_range(1 << 20, int64_t(1) << 62, 3, 1, 256), 256);
  EXPECT_EQ(apply_kind_in_range(-5, kMax, 3, 1, 256), 1);
  EXPECT_EQ(apply_kind_in_range(kMin, -1, 4, -1, 0xFFFFFF), 0xFFFFFF);  // 2^63, no overflow
  EXPECT_EQ(apply_kind_in_range(kMin, 3, 4, -1, 0xFFFFFF), -1);
  EXPECT_EQ(apply_kind_in_range(40, 0, 4, 1, 256), 40);
  EXPECT_EQ(apply_kind_in_range(40, kMax, 0, 1, 256), 256);  // a plain value too
  EXPECT_EQ(apply_kind_in_range(40, int64_t(1) << 32, 0, 0, 1), 1);
}

}  // namespace
}  // namespace nv
