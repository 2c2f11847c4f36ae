#include <gtest/gtest.h>

#include <random>

#include "formats/pack_format.h"
#include "platform/encoding.h"
#include "resources/file_loader.h"
#include "resources/pack_mount.h"
#include "tests/support/pack_builder.h"
#include "tests/support/test_engine.h"

namespace nv::res {
namespace {

using test::TestEntry;
using test::TestPack;

std::string random_text(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>('a' + rng() % 26);
  return s;
}

class EntryRead : public test::EngineTest {
 protected:
  // Writes the pack, flips the bytes at the given offsets of the file,
  // mounts it and loads `name`.
  int load_from(const TestPack& pack, std::vector<uint64_t> flips, const std::string& name, FileRequest& r) {
    std::string bytes = test::build_pack(pack);
    for (uint64_t at : flips) bytes.at(at) = static_cast<char>(bytes.at(at) ^ 0x5A);
    write("a.npf", bytes);
    reset_engine();
    if (mount_all_packs(e(), "") != 0) return 99;
    return load_file(e(), name, r);
  }

  std::string info_txt() const {
    std::ifstream f(dir().path() / "info.txt", std::ios::binary);
    return platform::sjis_to_utf8(std::string(std::istreambuf_iterator<char>(f), {}));
  }
};

TEST_F(EntryRead, StoredAndCompressedEntriesLoadWhole) {
  std::string big = random_text(300000, 1);
  TestPack p;
  p.entries = {{.name = "big.bin", .data = big, .compress = true},
               {.name = "empty", .data = ""},
               {.name = "plain", .data = "plain data"}};
  FileRequest r;
  ASSERT_EQ(load_from(p, {}, "big.bin", r), kLoadOk);
  EXPECT_EQ(std::string(r.data.begin(), r.data.end()), big);
  ASSERT_EQ(load_file(e(), "empty", r), kLoadOk);
  EXPECT_TRUE(r.data.empty());
  ASSERT_EQ(load_file(e(), "plain", r), kLoadOk);
  EXPECT_EQ(std::string(r.data.begin(), r.data.end()), "plain data");
  EXPECT_TRUE(info_txt().empty());
}

TEST_F(EntryRead, OneDamagedBlockIsRepairedAndLogged) {
  std::string data = random_text(5000, 2);  // five blocks, the last partial
  for (bool compress : {false, true}) {
    TestPack p;
    p.entries = {{.name = "ev\\a.bmp", .data = data, .compress = compress}};
    uint64_t at = test::stored_data_offset(p, 0);
    std::filesystem::remove(dir().path() / "info.txt");
    FileRequest r;
    // Three bytes in one block (the stored stream's second block).
    ASSERT_EQ(load_from(p, {at + 1030, at + 1500, at + 2047}, "ev\\a.bmp", r), kLoadOk) << compress;
    EXPECT_EQ(std::string(r.data.begin(), r.data.end()), data);
    std::string log = info_txt();
    EXPECT_NE(log.find("[ev\\a.bmp] ファイルに破損が見つかりました。修復を試みます。\n"), std::string::npos) << log;
    EXPECT_NE(log.find("[ev\\a.bmp] ファイルの修復に成功しました。\n"), std::string::npos) << log;
    EXPECT_TRUE(errors().empty());
  }
}

TEST_F(EntryRead, DamageInTheLastPartialBlockIsRepaired) {
  std::string data = random_text(2100, 3);
  TestPack p;
  p.entries = {{.name = "x", .data = data}};
  FileRequest r;
  ASSERT_EQ(load_from(p, {test::stored_data_offset(p, 0) + 2099}, "x", r), kLoadOk);
  EXPECT_EQ(std::string(r.data.begin(), r.data.end()), data);
}

TEST_F(EntryRead, DamageBeyondRepairFailsWith104100) {
  std::string data = random_text(5000, 4);
  struct Case {
    const char* what;
    bool compress;
    bool record;
    std::vector<uint64_t> flips;  // relative to the stored data
  };
  for (const Case& c : {Case{"two blocks", false, true, {10, 2000}},
                        Case{"two blocks, compressed", true, true, {10, 1500}},
                        Case{"no repair record", false, false, {10}}}) {
    TestPack p;
    p.entries = {{.name = "x.png", .data = data, .compress = c.compress, .repair_record = c.record},
                 {.name = "after", .data = "z"}};
    uint64_t at = test::stored_data_offset(p, 0);
    std::vector<uint64_t> flips;
    for (uint64_t f : c.flips) flips.push_back(at + f);
    FileRequest r;
    EXPECT_EQ(load_from(p, flips, "x.png", r), kLoadDamaged) << c.what;
    EXPECT_EQ(errors().at(0), message(104100, {".\\a.npf", "x.png"})) << c.what;
    EXPECT_TRUE(r.data.empty());
  }
  EXPECT_EQ(info_txt().find("修復に成功"), std::string::npos);
}

TEST_F(EntryRead, LyingFieldsGiveErrorsNotReadsOutOfBounds) {
  std::string data = random_text(4000, 5);
  struct Case {
    const char* what;
    TestEntry entry;
    int result;
    uint32_t code;
  };
  const std::vector<Case> cases = {
      {"offset past the end", {.name = "x", .data = data, .data_offset = 0xFFFFFF00u}, kLoadDamaged, 104100},
      {"stored size past the end", {.name = "x", .data = data, .stored_size = 0x7FFFFFFFu}, kLoadDamaged, 104100},
      {"stored size differs from size", {.name = "x", .data = data, .size = 100}, kLoadDamaged, 104100},
      {"huge decompressed size", {.name = "x", .data = data, .compress = true, .size = 0xFFFFFFF0u}, kLoadDamaged,
       104100},
      {"decompressed size too small", {.name = "x", .data = data, .compress = true, .size = 3999}, kLoadDamaged,
       900040},
      {"decompressed size too large", {.name = "x", .data = data, .compress = true, .size = 4001}, kLoadDamaged,
       104100},
      {"unknown compression", {.name = "x", .data = data, .compression = 7}, kLoadReadError, 901040},
  };
  for (const Case& c : cases) {
    TestPack p;
    p.entries = {c.entry};
    FileRequest r;
    EXPECT_EQ(load_from(p, {}, "x", r), c.result) << c.what;
    ASSERT_EQ(errors().size(), 1u) << c.what;
    std::string expected = c.code == 104100   ? message(104100, {".\\a.npf", "x"})
                           : c.code == 901040 ? message(901040, {".\\a.npf"})
                                              : message(c.code, {"x"});
    EXPECT_EQ(errors()[0], expected) << c.what;
  }
}

}  // namespace
}  // namespace nv::res
