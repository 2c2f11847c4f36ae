#include <gtest/gtest.h>

#include "platform/encoding.h"
#include "platform/file_system.h"
#include "tests/support/temp_dir.h"

namespace nv::platform {
namespace {

TEST(ReadFile, ReadsExactRangesAndRefusesRangesPastTheEnd) {
  test::TempDir dir;
  dir.write("Data/表示.bin", "0123456789");
  FileSystem fs(dir.str());
  OpenedFile f = fs.open_read(utf8_to_sjis("data\\表示.BIN"));
  ASSERT_EQ(f.status, FileStatus::ok);
  EXPECT_EQ(f.file.size(), 10u);
  std::vector<uint8_t> out(4);
  ASSERT_TRUE(f.file.read_at(6, out));
  EXPECT_EQ(std::string(out.begin(), out.end()), "6789");
  EXPECT_FALSE(f.file.read_at(7, out));
  EXPECT_FALSE(f.file.read_at(UINT64_MAX - 1, out));
  std::vector<uint8_t> none;
  EXPECT_TRUE(f.file.read_at(10, none));

  ReadFile moved = std::move(f.file);
  EXPECT_FALSE(f.file.is_open());
  EXPECT_TRUE(moved.read_at(0, out));

  EXPECT_EQ(fs.open_read("missing").status, FileStatus::missing);
  EXPECT_EQ(fs.open_read("data").status, FileStatus::unreadable);  // a folder
  EXPECT_TRUE(ReadFile::open_host((dir.path() / "Data" / "表示.bin").string()).is_open());
  EXPECT_FALSE(ReadFile::open_host(dir.str()).is_open());
}

TEST(ReadFile, TrailBytesThatLookLikeBackslashesDoNotSplitPaths) {
  std::string path = utf8_to_sjis("表\\示/x");
  auto parts = split_path(path);
  ASSERT_EQ(parts.size(), 3u);
  EXPECT_EQ(parts[0], utf8_to_sjis("表"));
}

}  // namespace
}  // namespace nv::platform
