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

}  // namespace
}  // namespace nv
