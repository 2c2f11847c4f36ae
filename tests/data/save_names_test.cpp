// Data file names: length, separators and the ".sd" ending.
#include "data/save_names.h"

#include <gtest/gtest.h>

#include "data/save_format.h"

namespace nv::save {
namespace {

TEST(SaveNames, Rules) {
  std::string name;
  std::string thirty(30, 'n');
  EXPECT_EQ(data_file_name(thirty, name), kOk);
  EXPECT_EQ(name, thirty + ".sd");
  EXPECT_EQ(data_file_name(thirty + ".sd", name), kErrNameTooLong);  // 33 bytes as given
  EXPECT_EQ(data_file_name(std::string(32, 'n'), name), kOk);
  EXPECT_EQ(name.size(), 35u);

  EXPECT_EQ(data_file_name("save01.sd", name), kOk);
  EXPECT_EQ(name, "save01.sd");
  EXPECT_EQ(data_file_name("save01.SD", name), kOk);
  EXPECT_EQ(name, "save01.SD");
  EXPECT_EQ(data_file_name("save01.sdx", name), kOk);
  EXPECT_EQ(name, "save01.sdx.sd");
  EXPECT_EQ(data_file_name("sd", name), kOk);
  EXPECT_EQ(name, "sd.sd");

  EXPECT_EQ(data_file_name("dir/file", name), kErrNameSeparator);
  EXPECT_EQ(data_file_name("dir\\file", name), kErrNameSeparator);
  EXPECT_EQ(data_file_name("../x", name), kErrNameSeparator);
  EXPECT_EQ(data_file_name("x\\", name), kErrNameSeparator);
  // "表" is 0x95 0x5C: its trail byte is no separator.
  EXPECT_EQ(data_file_name("\x95\x5C\x8E\xA6", name), kOk);
  EXPECT_EQ(name, "\x95\x5C\x8E\xA6.sd");
  // A lead byte at the very end leaves a separator before it a separator.
  EXPECT_EQ(data_file_name("a/\x95", name), kErrNameSeparator);
  // The length comes first: a long name with a separator is too long.
  EXPECT_EQ(data_file_name(std::string(33, '/'), name), kErrNameTooLong);
}

}  // namespace
}  // namespace nv::save
