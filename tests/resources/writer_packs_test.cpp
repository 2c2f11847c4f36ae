// Packs made by the project's pack writer and by nvpack, read by the engine.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>

#include "platform/encoding.h"
#include "resources/file_loader.h"
#include "resources/media_resolver.h"
#include "resources/pack_lookup.h"
#include "resources/pack_mount.h"
#include "tests/support/test_engine.h"
#include "tools/writers/pack_writer.h"

namespace nv::res {
namespace {

using nv::Bytes;
using writers::Compress;
using writers::PackWriter;

Bytes as_bytes(std::string_view s) { return {s.begin(), s.end()}; }

std::string random_text(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>('a' + rng() % 26);
  return s;
}

std::string text_of(const FileRequest& r) { return {r.data.begin(), r.data.end()}; }

class WriterPacks : public test::EngineTest {
 protected:
  void write_pack(const std::string& rel, const PackWriter& w) {
    Bytes b = w.encode();
    write(rel, std::string(b.begin(), b.end()));
  }
  // Flips bytes of a written file in place.
  void flip(const std::string& rel, std::vector<uint64_t> offsets) {
    std::fstream f(dir().path() / rel, std::ios::in | std::ios::out | std::ios::binary);
    for (uint64_t at : offsets) {
      f.seekg(static_cast<std::streamoff>(at));
      char c = 0;
      f.get(c);
      f.seekp(static_cast<std::streamoff>(at));
      f.put(static_cast<char>(c ^ 0x21));
    }
  }
};

TEST_F(WriterPacks, EntriesOfEveryKindLoadAndUpdatesOverride) {
  std::string bmp = "BM" + random_text(70000, 1);
  std::string ogg = "OggS" + random_text(3000, 2);
  PackWriter a;
  a.add("bg/room.bmp", as_bytes(bmp));      // compressed by extension
  a.add("se/door.ogg", as_bytes(ogg));      // stored by extension
  a.add("nvbin/nvt00001.nbn", as_bytes("script one"));
  a.add(platform::utf8_to_sjis("画像/表紙.png"), as_bytes("cover"), Compress::never);
  write_pack("a.npf", a);
  PackWriter u(writers::PackOptions{.repair_records = false});
  u.add("nvbin/nvt00001.nbn", as_bytes("script one, fixed"));
  write_pack("pac/update1.npf", u);

  ASSERT_EQ(mount_all_packs(e(), ""), 0) << (errors().empty() ? "" : errors()[0]);
  FileRequest r;
  ASSERT_EQ(resolve_media(e(), "BG/Room", MediaKind::image, r), kMediaFound);
  EXPECT_EQ(r.type, FileType::bmp);
  ASSERT_EQ(load_file(e(), "", r, true, false), kLoadOk);
  EXPECT_EQ(text_of(r), bmp);
  EXPECT_EQ(e().resources.entries[static_cast<size_t>(r.pack_entry)].compression, 1);

  ASSERT_EQ(resolve_media(e(), "se/door", MediaKind::sound, r), kMediaFound);
  EXPECT_EQ(r.type, FileType::ogg);
  ASSERT_EQ(load_file(e(), "", r, true, false), kLoadOk);
  EXPECT_EQ(text_of(r), ogg);

  ASSERT_EQ(load_file(e(), "nvbin\\nvt00001.nbn", r), kLoadOk);
  EXPECT_EQ(text_of(r), "script one, fixed");
  ASSERT_EQ(resolve_media(e(), platform::utf8_to_sjis("画像/表紙"), MediaKind::image, r), kMediaFound);
  ASSERT_EQ(load_file(e(), "", r, true, false), kLoadOk);
  EXPECT_EQ(text_of(r), "cover");
  EXPECT_TRUE(errors().empty());
}

TEST_F(WriterPacks, RepairRecordsOfTheWriterRestoreOneBlock) {
  std::string data = random_text(6000, 3);
  PackWriter w;
  w.add("ev/a.bmp", as_bytes(data), Compress::never);
  w.add("ev/b.bmp", as_bytes(data), Compress::always);
  write_pack("a.npf", w);
  ASSERT_EQ(mount_all_packs(e(), ""), 0);
  auto offset_of = [&](std::string_view name) {
    return e().resources.entries[static_cast<size_t>(find_pack_entry(e().resources, name))].data_offset;
  };
  uint64_t a = offset_of("ev\\a.bmp"), b = offset_of("ev\\b.bmp");
  flip("a.npf", {a + 3000, a + 3001, b + 100});
  reset_engine();
  ASSERT_EQ(mount_all_packs(e(), ""), 0);
  FileRequest r;
  ASSERT_EQ(load_file(e(), "ev\\a.bmp", r), kLoadOk);
  EXPECT_EQ(text_of(r), data);
  ASSERT_EQ(load_file(e(), "ev\\b.bmp", r), kLoadOk);
  EXPECT_EQ(text_of(r), data);

  flip("a.npf", {a + 10});  // a second damaged block of a.bmp
  reset_engine();
  ASSERT_EQ(mount_all_packs(e(), ""), 0);
  EXPECT_EQ(load_file(e(), "ev\\a.bmp", r), kLoadDamaged);
  EXPECT_EQ(errors().at(0), message(104100, {".\\a.npf", "ev\\a.bmp"}));
}

int run_nvpack(const std::string& args) {
  int rc = std::system((std::string(NVPACK_PATH) + " " + args + " >/dev/null 2>&1").c_str());
  return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

std::string q(const std::filesystem::path& p) { return "'" + p.string() + "'"; }

TEST_F(WriterPacks, TitlesPackedByNvpackPlay) {
  test::TempDir src;
  src.write("data/nvbin/nvcfg.nbn", "config");
  src.write("data/BG/Bg01.bmp", "BM" + random_text(5000, 4));
  src.write("data/BG/bg01.png", "png wins");
  src.write("data/se/音.wav", "RIFF sound");
  src.write("patch/nvbin/nvcfg.nbn", "patched config");
  ASSERT_EQ(run_nvpack(q(src.path() / "data") + " -o " + q(dir().path() / "data.npf") + " -q"), 0);
  std::filesystem::create_directories(dir().path() / "pac");
  ASSERT_EQ(run_nvpack("--update 2 " + q(src.path() / "patch") + " -o " + q(dir().path() / "pac") + " -q"), 0);
  ASSERT_EQ(mount_all_packs(e(), ""), 0) << (errors().empty() ? "" : errors()[0]);
  EXPECT_TRUE(e().resources.release_mode);
  FileRequest r;
  ASSERT_EQ(load_file(e(), "nvbin\\nvcfg.nbn", r), kLoadOk);
  EXPECT_EQ(text_of(r), "patched config");
  ASSERT_EQ(resolve_media(e(), "bg/bg01", MediaKind::image, r), kMediaFound);
  ASSERT_EQ(load_file(e(), "", r, true, false), kLoadOk);
  EXPECT_EQ(text_of(r), "png wins");
  ASSERT_EQ(resolve_media(e(), platform::utf8_to_sjis("se/音"), MediaKind::sound, r), kMediaFound);
  EXPECT_EQ(r.type, FileType::wav);

  // The same title as a packed executable: the packs beside it are not used.
  src.write("engine", std::string(5000, '\x7f'));
  auto exe = dir().path() / "title";
  ASSERT_EQ(run_nvpack("--exe " + q(src.path() / "engine") + " " + q(src.path() / "data") + " -o " + q(exe) +
                       " --screensaver -q"),
            0);
  reset_engine();
  ASSERT_EQ(mount_all_packs(e(), exe.string()), 0) << (errors().empty() ? "" : errors()[0]);
  EXPECT_TRUE(e().resources.appended.packed);
  EXPECT_NE(e().resources.appended.screen_saver, 0u);
  ASSERT_EQ(load_file(e(), "nvbin\\nvcfg.nbn", r), kLoadOk);
  EXPECT_EQ(text_of(r), "config");
}

}  // namespace
}  // namespace nv::res
