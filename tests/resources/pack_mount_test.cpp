#include <gtest/gtest.h>

#include "formats/pack_format.h"
#include "resources/appended_pack.h"
#include "resources/file_loader.h"
#include "resources/pack_lookup.h"
#include "resources/pack_mount.h"
#include "tests/support/pack_builder.h"
#include "tests/support/test_engine.h"

namespace nv::res {
namespace {

using test::TestEntry;
using test::TestPack;

std::string pack_of(std::vector<TestEntry> entries, uint32_t version = 404) {
  TestPack p;
  p.version = version;
  p.entries = std::move(entries);
  return test::build_pack(p);
}

std::string load_text(Engine& e, std::string_view name) {
  FileRequest req;
  if (load_file(e, name, req, false) != kLoadOk) return "<failed>";
  return std::string(req.data.begin(), req.data.end());
}

class PackMount : public test::EngineTest {};

TEST_F(PackMount, UpdatePacksOverrideEarlierEntriesInSlotOrder) {
  write("a.npf", pack_of({{.name = "bg\\one.png", .data = "from a"}, {.name = "keep.txt", .data = "a only"}}));
  write("pac/update2.npf", pack_of({{.name = "bg\\one.png", .data = "from update2"}}));
  write("UPDATE1.NPF", pack_of({{.name = "bg\\one.png", .data = "from update1", .compress = true}}));
  ASSERT_EQ(mount_all_packs(e(), ""), 0) << (errors().empty() ? "" : errors()[0]);
  ASSERT_EQ(e().resources.packs.size(), 3u);
  EXPECT_EQ(e().resources.packs[0].path, ".\\a.npf");
  EXPECT_EQ(e().resources.packs[1].path, ".\\update1.npf");  // slot 1 from "UPDATE1.NPF"
  EXPECT_EQ(e().resources.packs[2].path, ".\\pac\\update2.npf");
  EXPECT_EQ(e().resources.update_slots[1], ".\\update1.npf");
  EXPECT_EQ(load_text(e(), "bg\\one.png"), "from update2");
  EXPECT_EQ(load_text(e(), "BG\\ONE.PNG"), "<failed>");  // the name hash is of the bytes as given
  EXPECT_EQ(load_text(e(), "keep.txt"), "a only");
  // The replaced entries are still in the index, under hash 0.
  EXPECT_EQ(std::count(e().resources.hashes.begin(), e().resources.hashes.end(), 0u), 2);
  EXPECT_TRUE(errors().empty());
}

TEST_F(PackMount, SameNameInTwoOrdinaryPacksFailsWith104150) {
  write("a.npf", pack_of({{.name = "se\\x.wav", .data = "1"}}));
  write("b.npf", pack_of({{.name = "se\\x.wav", .data = "2"}}));
  EXPECT_EQ(mount_all_packs(e(), ""), -1);
  ASSERT_EQ(errors().size(), 1u);
  EXPECT_EQ(errors()[0], message(104150, {"se\\x.wav"}));
  EXPECT_FALSE(e().stop.load());  // the report itself does not stop; the failed mount ends start-up
}

TEST_F(PackMount, SameNameTwiceInsideOnePackFails) {
  write("a.npf", pack_of({{.name = "x", .data = "1"}, {.name = "x", .data = "2"}}));
  EXPECT_EQ(mount_all_packs(e(), ""), -1);
  EXPECT_EQ(errors().at(0), message(104150, {"x"}));
}

TEST_F(PackMount, FindsPacksBesideTheTitleAndInPacOnly) {
  write("a.npf", pack_of({{.name = "a", .data = "A"}}));
  write("PAC/b.NPF", pack_of({{.name = "b", .data = "B"}}));
  write("pac/pac/c.npf", pack_of({{.name = "c", .data = "C"}}));
  write("other/d.npf", pack_of({{.name = "d", .data = "D"}}));
  write("notapack.npf", "this file has the extension but not the magic");
  write("short.npf", "NP");
  ASSERT_EQ(mount_all_packs(e(), ""), 0);
  ASSERT_EQ(e().resources.packs.size(), 2u);
  EXPECT_EQ(e().resources.packs[1].path, ".\\pac\\b.npf");
  EXPECT_EQ(e().resources.total_entries, 2u);
  EXPECT_EQ(load_text(e(), "a"), "A");
  EXPECT_EQ(load_text(e(), "b"), "B");
  EXPECT_EQ(find_pack_entry(e().resources, "c"), -1);
  EXPECT_EQ(find_pack_entry(e().resources, "d"), -1);
}

TEST_F(PackMount, AcceptsVersion404And234UpAndRefusesOlder) {
  write("a.npf", pack_of({{.name = "a", .data = "A"}}, 300));
  write("b.npf", pack_of({{.name = "b", .data = "B"}}, 234));
  ASSERT_EQ(mount_all_packs(e(), ""), 0);
  EXPECT_EQ(e().resources.packs.size(), 2u);

  write("c.npf", pack_of({{.name = "c", .data = "C"}}, 200));
  reset_engine();
  EXPECT_EQ(mount_all_packs(e(), ""), -1);
  EXPECT_EQ(errors().at(0), message(104120, {".\\c.npf"}));
  EXPECT_TRUE(e().stop.load());
}

TEST_F(PackMount, MessagesNameThePackWithTheExecutableFolderOutsideReleaseMode) {
  write("c.npf", pack_of({}, 233));
  e().resources.exe_folder = "C:\\title\\";
  EXPECT_EQ(mount_all_packs(e(), ""), -1);
  EXPECT_EQ(errors().at(0), message(104120, {"C:\\title\\.\\c.npf"}));
}

TEST_F(PackMount, LimitsOfEntriesAndPacks) {
  TestPack big;
  big.entry_count = 100001;  // the count alone is over the limit
  write("big.npf", test::build_pack(big));
  EXPECT_EQ(mount_all_packs(e(), ""), -1);
  EXPECT_EQ(errors().at(0), message(104140, {100000}));

  std::filesystem::remove(dir().path() / "big.npf");
  for (int i = 0; i < 100; ++i) write("p" + std::to_string(1000 + i) + ".npf", pack_of({}));
  reset_engine();
  EXPECT_EQ(mount_all_packs(e(), ""), 0);
  EXPECT_EQ(e().resources.packs.size(), 100u);

  write("p2000.npf", pack_of({}));
  reset_engine();
  EXPECT_EQ(mount_all_packs(e(), ""), -1);
  EXPECT_EQ(errors().at(0), message(104130, {100}));
  EXPECT_EQ(e().resources.packs.size(), 100u);
}

TEST_F(PackMount, ConfigurationInAPackSwitchesReleaseModeOn) {
  write("a.npf", pack_of({{.name = "NVBIN\\nvcfg.nbn", .data = "cfg"}}));
  EXPECT_FALSE(e().resources.release_mode);
  ASSERT_EQ(mount_all_packs(e(), ""), 0);
  EXPECT_TRUE(e().resources.release_mode);
}

TEST_F(PackMount, DamagedIndexesFailWithTheDamagedFileMessage) {
  struct Case {
    const char* what;
    TestPack pack;
  };
  TestPack past_index;  // records run past the index size
  past_index.entries = {{.name = "abc", .data = "x"}, {.name = "def", .data = "y"}};
  past_index.index_size = 30;
  TestPack past_file;  // the index runs past the end of the file
  past_file.entries = {{.name = "abc", .data = "x"}};
  past_file.index_size = 1 << 30;
  TestPack more_records;  // the count claims records that are not there
  more_records.entries = {{.name = "abc", .data = "x"}};
  more_records.entry_count = 5;
  for (const Case& c : {Case{"records past the index", past_index}, Case{"index past the file", past_file},
                        Case{"count past the records", more_records}}) {
    std::filesystem::remove_all(dir().path() / "a.npf");
    write("a.npf", test::build_pack(c.pack));
    reset_engine();
    EXPECT_EQ(mount_all_packs(e(), ""), -1) << c.what;
    ASSERT_EQ(errors().size(), 1u) << c.what;
    EXPECT_TRUE(errors()[0].starts_with(message(104100, {".\\a.npf", ""}))) << c.what << ": " << errors()[0];
  }
  // A header cut short after the magic.
  write("a.npf", std::string("NPF\0\x94\x01", 6));
  reset_engine();
  EXPECT_EQ(mount_all_packs(e(), ""), -1);
  EXPECT_EQ(errors().at(0), message(104100, {".\\a.npf", ""}));
}

TEST_F(PackMount, PackedExecutableUsesOnlyItsOwnPack) {
  std::string inner = pack_of({{.name = "nvbin\\x.nbn", .data = "inside", .compress = true},
                               {.name = "shared.txt", .data = "exe"}});
  auto exe = dir().write("bin/title.exe", test::build_packed_executable(std::string(3000, 'M'), inner, 1));
  write("a.npf", pack_of({{.name = "beside.txt", .data = "beside"}}));
  write("update1.npf", pack_of({{.name = "shared.txt", .data = "update"}}));
  write("shared.txt", "loose");
  ASSERT_EQ(mount_all_packs(e(), exe.string()), 0) << (errors().empty() ? "" : errors()[0]);
  const ResourceState& rs = e().resources;
  EXPECT_TRUE(rs.appended.packed);
  EXPECT_TRUE(rs.release_mode);
  EXPECT_EQ(rs.appended.screen_saver, 1u);
  EXPECT_EQ(rs.appended.pack_base(), 3016u);
  ASSERT_EQ(rs.packs.size(), 1u);
  EXPECT_EQ(load_text(e(), "nvbin\\x.nbn"), "inside");
  EXPECT_EQ(load_text(e(), "shared.txt"), "exe");  // neither the update pack nor the loose file
  EXPECT_EQ(load_text(e(), "beside.txt"), "<failed>");
}

TEST_F(PackMount, ExecutablesWithoutAPackAreNotPacked) {
  struct Case {
    const char* what;
    std::string bytes;
  };
  std::string pack = pack_of({{.name = "a", .data = "A"}});
  std::string good = test::build_packed_executable("MZ program", pack);
  std::string no_trailer = good.substr(0, good.size() - 16);
  std::string bad_magic = good;
  bad_magic[10] = 'X';  // "NVER" -> "XVER"
  // The header magic at offset 4, but 4 is not a start of appended data.
  std::string at_four = "MZ00NVER" + std::string(8, '\0') + std::string(pack::kTrailerMagic) +
                        std::string("\x04\0\0\0\0\0\0\0", 8);
  for (const Case& c : {Case{"plain", "just a program"}, Case{"no trailer", no_trailer},
                        Case{"no header magic", bad_magic}, Case{"offset 4", at_four},
                        Case{"empty", ""}}) {
    auto exe = dir().write("exe", c.bytes);
    AppendedPack a = detect_appended_pack(exe.string());
    EXPECT_FALSE(a.packed) << c.what;
  }
  auto exe = dir().write("exe", good);
  EXPECT_TRUE(detect_appended_pack(exe.string()).packed);
}

}  // namespace
}  // namespace nv::res
