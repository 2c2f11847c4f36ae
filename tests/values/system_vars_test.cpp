#include "values/system_vars.h"

#include <gtest/gtest.h>

namespace nv {
namespace {

TEST(OsCode, TableRowsAndOthers) {
  EXPECT_EQ(os_code_for_build(2600), 50);
  EXPECT_EQ(os_code_for_build(6001), 70);
  EXPECT_EQ(os_code_for_build(0x10000 + 7600), 80);  // low 16 bits
  EXPECT_EQ(os_code_for_build(19045), 255);
}

}  // namespace
}  // namespace nv
