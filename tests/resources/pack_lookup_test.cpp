#include <gtest/gtest.h>

#include "formats/checksums.h"
#include "resources/file_loader.h"
#include "resources/pack_duplicates.h"
#include "resources/pack_lookup.h"
#include "resources/pack_mount.h"
#include "tests/support/pack_builder.h"
#include "tests/support/test_engine.h"

namespace nv::res {
namespace {

using test::TestEntry;
using test::TestPack;

class PackLookup : public test::EngineTest {};

TEST_F(PackLookup, FindsEveryEntryOfManyPacksAfterSorting) {
  for (int p = 0; p < 5; ++p) {
    TestPack pack;
    for (int i = 0; i < 400; ++i) {
      std::string name = "p" + std::to_string(p) + "\\f" + std::to_string(i) + ".bin";
      pack.entries.push_back({.name = name, .data = name + " data"});
    }
    write("pack" + std::to_string(p) + ".npf", test::build_pack(pack));
  }
  ASSERT_EQ(mount_all_packs(e(), ""), 0);
  const ResourceState& rs = e().resources;
  ASSERT_EQ(rs.hashes.size(), 2000u);
  EXPECT_TRUE(std::is_sorted(rs.hashes.begin(), rs.hashes.end()));
  for (int p = 0; p < 5; ++p) {
    for (int i = 0; i < 400; i += 37) {
      std::string name = "p" + std::to_string(p) + "\\f" + std::to_string(i) + ".bin";
      int32_t k = find_pack_entry(rs, name);
      ASSERT_GE(k, 0) << name;
      EXPECT_EQ(rs.entries[static_cast<size_t>(k)].name, name);
      EXPECT_EQ(rs.entries[static_cast<size_t>(k)].pack, static_cast<uint32_t>(p));
      FileRequest r;
      ASSERT_EQ(load_file(e(), name, r), kLoadOk);
      EXPECT_EQ(std::string(r.data.begin(), r.data.end()), name + " data");
      EXPECT_EQ(r.entry_fields_pos, rs.entries[static_cast<size_t>(k)].length_pos + 1 + name.size() + 1);
    }
  }
  EXPECT_EQ(find_pack_entry(rs, "p0\\f400.bin"), -1);
}

TEST_F(PackLookup, EqualHashesAreToldApartByName) {
  // Records whose hash field is not their name's CRC are found only under
  // the hash they carry.
  uint32_t h = crc32_of("target");
  TestPack pack;
  pack.entries = {{.name = "decoy", .data = "decoy", .hash = h}, {.name = "TARGET", .data = "upper", .hash = h}};
  write("a.npf", test::build_pack(pack));
  ASSERT_EQ(mount_all_packs(e(), ""), 0);
  FileRequest r;
  ASSERT_EQ(load_file(e(), "target", r), kLoadOk);
  EXPECT_EQ(std::string(r.data.begin(), r.data.end()), "upper");  // names compared without case
  EXPECT_EQ(find_pack_entry(e().resources, "decoy"), -1);
  EXPECT_EQ(find_pack_entry(e().resources, "TARGET"), -1);
}

TEST_F(PackLookup, FirstMatchInMountOrderWinsAmongReplacedEntries) {
  // Two entries of the same name replaced by update packs both sit under
  // hash 0; a name whose CRC is 0 meets them, the earlier first.
  uint32_t h = crc32_of("a");
  TestPack a, u1, u2;
  a.entries = {{.name = "a", .data = "from a"}};
  u1.entries = {{.name = "A", .data = "from update1", .hash = h}};
  u2.entries = {{.name = "a", .data = "from update2"}};
  write("a.npf", test::build_pack(a));
  write("update1.npf", test::build_pack(u1));
  write("update2.npf", test::build_pack(u2));
  ASSERT_EQ(mount_all_packs(e(), ""), 0);
  const ResourceState& rs = e().resources;
  EXPECT_EQ(rs.entries[static_cast<size_t>(find_pack_entry(rs, "a"))].pack, 2u);
  ASSERT_EQ(rs.hashes[0], 0u);
  ASSERT_EQ(rs.hashes[1], 0u);
  EXPECT_EQ(rs.entries[0].pack, 0u);  // equal hashes keep mount order
  EXPECT_EQ(rs.entries[1].pack, 1u);
}

TEST(PackDuplicates, ReplacedEntriesMoveOutOfTheWayOfLaterOnes) {
  std::vector<PackFile> packs(3);
  packs[1].is_update = true;
  packs[2].is_update = true;
  auto entry = [](uint32_t pack, std::string name) {
    PackEntry e;
    e.pack = pack;
    e.name = std::move(name);
    return e;
  };
  // "x" in three packs; "z" (hash 0) replaced in an update pack.
  std::vector<PackEntry> entries = {entry(0, "x"), entry(1, "X"), entry(2, "x"), entry(0, "z"), entry(1, "Z")};
  std::vector<uint32_t> hashes = {7, 7, 7, 0, 0};
  auto r = resolve_duplicates(hashes, entries, packs);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(hashes, (std::vector<uint32_t>{0, 0, 7, 1, 0}));

  // A later entry of hash 0 in an update pack meets both replaced "x":
  // they move on to hash 1.
  entries.push_back(entry(2, "x"));
  hashes = {7, 7, 7, 5, 9, 0};
  r = resolve_duplicates(hashes, entries, packs);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(hashes, (std::vector<uint32_t>{1, 1, 7, 5, 9, 0}));

  // The same meeting from an ordinary pack is a duplicate.
  entries.back().pack = 0;
  hashes = {7, 7, 7, 5, 9, 0};
  r = resolve_duplicates(hashes, entries, packs);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.name, "x");
}

}  // namespace
}  // namespace nv::res
