#include "platform/file_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/encoding.h"
#include "tests/support/temp_dir.h"

namespace nv::platform {
namespace {

std::string text_of(const FileRead& r) { return std::string(r.data.begin(), r.data.end()); }

TEST(FileSystem, FindsFilesCaseInsensitivelyThroughBothSeparators) {
  test::TempDir dir;
  dir.write("NvBin/NVC.nbn", "cmd");
  FileSystem fs(dir.str());
  auto r = fs.read("nvbin\\nvc.NBN");
  ASSERT_EQ(r.status, FileStatus::ok);
  EXPECT_EQ(text_of(r), "cmd");
  EXPECT_EQ(text_of(fs.read("NVBIN/nvc.nbn")), "cmd");
  EXPECT_TRUE(fs.is_directory("nvbin"));
}

TEST(FileSystem, FindsShiftJisNamedFilesOnUtf8Host) {
  test::TempDir dir;
  dir.write("画像/背景Ａ.png", "png");
  FileSystem fs(dir.str());
  std::string sjis = utf8_to_sjis("画像\\背景ａ.PNG");  // full-width letter in the other case
  auto r = fs.read(sjis);
  ASSERT_EQ(r.status, FileStatus::ok);
  EXPECT_EQ(text_of(r), "png");
  auto listed = fs.list(utf8_to_sjis("画像"));
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0].name, utf8_to_sjis("背景Ａ.png"));
  EXPECT_EQ(listed[0].size, 3u);
}

TEST(FileSystem, TellsMissingFromUnreadable) {
  test::TempDir dir;
  dir.write("sub/file.txt", "x");
  FileSystem fs(dir.str());
  EXPECT_EQ(fs.read("sub\\nothere.txt").status, FileStatus::missing);
  EXPECT_EQ(fs.read("nofolder\\file.txt").status, FileStatus::missing);
  EXPECT_EQ(fs.read("sub").status, FileStatus::unreadable);  // a folder is not a file
  if (geteuid() != 0) {  // root reads everything
    ::chmod((dir.path() / "sub/file.txt").c_str(), 0);
    EXPECT_EQ(fs.read("sub\\file.txt").status, FileStatus::unreadable);
  }
}

TEST(FileSystem, WritesReplaceWholeAndCreateInExistingFoldersCaseInsensitively) {
  test::TempDir dir;
  std::filesystem::create_directory(dir.path() / "Save");
  FileSystem fs(dir.str());
  const uint8_t a[] = {'o', 'l', 'd', '!'};
  const uint8_t b[] = {'n', 'e', 'w'};
  ASSERT_TRUE(fs.write("save\\data.sd", a));
  ASSERT_TRUE(fs.write("SAVE\\DATA.SD", b));
  EXPECT_EQ(text_of(fs.read("save\\data.sd")), "new");
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "Save" / "data.sd"));
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "Save" / "data.sd.nvtmp"));
  ASSERT_TRUE(fs.append("save\\data.sd", a));
  EXPECT_EQ(text_of(fs.read("save\\data.sd")), "newold!");
  // A write into a folder that does not exist fails and leaves nothing.
  EXPECT_FALSE(fs.write("nofolder\\x.sd", b));
  EXPECT_TRUE(fs.make_directory("newdir"));
  EXPECT_TRUE(fs.make_directory("NEWDIR"));
  EXPECT_TRUE(fs.remove("save\\data.sd"));
  EXPECT_FALSE(fs.exists("save\\data.sd"));
}

TEST(FileSystem, SplitAndFold) {
  auto parts = split_path("a\\\\b/c\\");
  ASSERT_EQ(parts.size(), 3u);
  EXPECT_EQ(parts[2], "c");
  EXPECT_EQ(fold_case_utf8("AbΩЖЁＺ"), "abωжёｚ");
  EXPECT_EQ(fold_case_utf8(std::string("\xFFZ", 2)), std::string("\xFFz", 2));
  // A lead byte whose sequence breaks off stays a byte; the next character still folds.
  EXPECT_EQ(fold_case_utf8(std::string("\xC3Z\xE3\x81", 4)), std::string("\xC3z\xE3\x81", 4));
}

}  // namespace
}  // namespace nv::platform
