#include <gtest/gtest.h>

#include <vector>

#include "core/error_report.h"

namespace nv {
namespace {

std::string fmt(std::string_view f, std::vector<ErrorArg> args) { return format_message(f, args); }

TEST(ErrorFormat, FillsTheDirectivesTheTextsUse) {
  EXPECT_EQ(fmt("%s[%s=%d]", {"CG", "A", 300}), "CG[A=300]");
  EXPECT_EQ(fmt("ID=%s  X=%4d|%-4d|%04d|%x|%X|%%", {"bg", 12, 3, -5, 255, 255}), "ID=bg  X=  12|3   |-005|ff|FF|%");
  EXPECT_EQ(fmt("%d", {int64_t(0x100000005)}), "5");  // %d is 32-bit
  EXPECT_EQ(fmt("%.2s|%5s", {"abcdef", "ab"}), "ab|   ab");
}

TEST(ErrorFormat, MissingOrUnknownDirectivesAreKeptNotRead) {
  // A table text may ask for more arguments than the caller passes.
  EXPECT_EQ(fmt("%s and %s and %d", {"one"}), "one and %s and %d");
  EXPECT_EQ(fmt("%n %p %f", {1, 2, 3}), "%n %p %f");
  EXPECT_EQ(fmt("end %", {}), "end %");
  EXPECT_EQ(fmt("%999999999d", {7}).size(), 999u);
}

}  // namespace
}  // namespace nv
