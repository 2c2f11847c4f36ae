// nvpack run as people run it, on temporary folders.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "formats/pack_view.h"
#include "tests/support/temp_dir.h"

namespace nv::writers {
namespace {

int run(const std::string& args, std::string* output = nullptr, const test::TempDir* dir = nullptr) {
  std::string out_file = dir ? (dir->path() / "out.txt").string() : "/dev/null";
  std::string cmd = std::string(NVPACK_PATH) + " " + args + " >" + out_file + " 2>&1";
  int rc = std::system(cmd.c_str());
  if (output && dir) {
    std::ifstream in(out_file);
    output->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

Bytes read(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string q(const std::filesystem::path& p) { return "'" + p.string() + "'"; }

TEST(NvpackCli, PacksAFolderAndVerifiesIt) {
  test::TempDir d;
  d.write("title/nvbin/nvc.nbn", std::string(3000, 'c'));
  d.write("title/BG/Room.png", std::string(2000, 'p'));
  d.write("title/se/音.wav", std::string(100, 'w'));
  auto pack = d.path() / "data.npf";
  ASSERT_EQ(run(q(d.path() / "title") + " -o " + q(pack) + " -q"), 0);
  pack::PackView v = pack::read_pack(read(pack));
  ASSERT_EQ(v.entries.size(), 3u);
  EXPECT_EQ(v.entries[0].name, "bg\\room.png");
  EXPECT_EQ(v.entries[1].name, "nvbin\\nvc.nbn");
  EXPECT_EQ(v.entries[2].name, "se\\\x89\xb9.wav");  // Shift-JIS
  std::string out;
  EXPECT_EQ(run("--list " + q(pack), &out, &d), 0);
  EXPECT_NE(out.find("3 entries"), std::string::npos);
  EXPECT_NE(out.find("se\\音.wav"), std::string::npos);
  EXPECT_EQ(out.find("DAMAGED"), std::string::npos);

  // One flipped byte is reported as repairable; the command fails.
  Bytes b = read(pack);
  b[v.entries[0].data_offset + 100] ^= 0x20;
  std::ofstream(pack, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), static_cast<long>(b.size()));
  EXPECT_EQ(run("--list " + q(pack), &out, &d), 1);
  EXPECT_NE(out.find("repairable"), std::string::npos);
}

TEST(NvpackCli, FileListsUpdatePacksAndExecutables) {
  test::TempDir d;
  d.write("src/a.txt", "alpha");
  d.write("src/b.txt", "beta");
  d.write("files.lst", "# comment\nsrc/a.txt\tnvbin/A.TXT\n\nsrc/b.txt\n");
  ASSERT_EQ(run("--files " + q(d.path() / "files.lst") + " --update 4 -o " + q(d.path()) + " -q"), 0);
  pack::PackView v = pack::read_pack(read(d.path() / "update4.npf"));
  ASSERT_EQ(v.entries.size(), 2u);
  EXPECT_EQ(v.entries[0].name, "nvbin\\a.txt");
  EXPECT_EQ(v.entries[1].name, "src\\b.txt");

  d.write("engine", std::string(500, 'E'));
  auto exe = d.path() / "game";
  ASSERT_EQ(run("--exe " + q(d.path() / "engine") + " --pack " + q(d.path() / "update4.npf") + " -o " + q(exe) + " -q"),
            0);
  Bytes e = read(exe);
  pack::LocatedPack a = pack::locate_pack(e);
  ASSERT_TRUE(a.present);
  EXPECT_EQ(pack::read_pack(a.pack).entries.size(), 2u);
  EXPECT_EQ(run("--list " + q(exe)), 0);
}

TEST(NvpackCli, ErrorsLeaveNoOutput) {
  test::TempDir d;
  auto out = d.path() / "x.npf";
  std::string msg;
  EXPECT_NE(run(q(d.path() / "missing") + " -o " + q(out), &msg, &d), 0);
  EXPECT_NE(msg.find("not a folder"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(out));
  d.write("src/a.txt", "a");
  d.write("list", "src/a.txt\nsrc/none.txt\n");
  EXPECT_NE(run("--files " + q(d.path() / "list") + " -o " + q(out), &msg, &d), 0);
  EXPECT_NE(msg.find("none.txt"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(out));
  EXPECT_EQ(run("--update 10 " + q(d.path() / "src")), 2);
  EXPECT_EQ(run("--list " + q(d.path() / "list"), &msg, &d), 1);
  EXPECT_NE(msg.find("not a pack"), std::string::npos);
  for (auto& f : std::filesystem::directory_iterator(d.path()))
    EXPECT_EQ(f.path().string().find(".tmp"), std::string::npos) << f.path();
}

}  // namespace
}  // namespace nv::writers
