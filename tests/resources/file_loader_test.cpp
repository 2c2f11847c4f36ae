#include <gtest/gtest.h>

#include "platform/encoding.h"
#include "resources/file_loader.h"
#include "resources/file_sources.h"
#include "resources/media_resolver.h"
#include "resources/pack_mount.h"
#include "tests/support/pack_builder.h"
#include "tests/support/test_engine.h"

namespace nv::res {
namespace {

using test::TestEntry;
using test::TestPack;

std::string pack_of(std::vector<TestEntry> entries) {
  TestPack p;
  p.entries = std::move(entries);
  return test::build_pack(p);
}

std::vector<uint8_t> bytes(std::string_view s) { return {s.begin(), s.end()}; }
std::string text(const FileRequest& r) { return {r.data.begin(), r.data.end()}; }

class FileLoader : public test::EngineTest {};

TEST_F(FileLoader, SourcesAreTriedCachedSharedLooseThenPack) {
  write("a.npf", pack_of({{.name = "f.txt", .data = "pack", .type = 5}, {.name = "p.txt", .data = "pack only"}}));
  write("f.txt", "loose");
  ASSERT_EQ(mount_all_packs(e(), ""), 0);
  FileRequest r;
  ASSERT_EQ(load_file(e(), "f.txt", r), kLoadOk);
  EXPECT_EQ(r.source, FileSource::loose);
  EXPECT_EQ(text(r), "loose");

  ASSERT_EQ(load_file(e(), "p.txt", r), kLoadOk);
  EXPECT_EQ(r.source, FileSource::pack);
  EXPECT_EQ(r.pack_number, 0);
  EXPECT_EQ(text(r), "pack only");

  add_shared_file(e().resources, {"F.TXT", bytes("shared")});
  ASSERT_EQ(load_file(e(), "f.txt", r), kLoadOk);
  EXPECT_EQ(r.source, FileSource::shared);
  EXPECT_EQ(text(r), "shared");

  cache_put(e().resources, 0, {"other", FileType::png, bytes("x")});
  cache_put(e().resources, 2, {"f.TXT", FileType::bmp, bytes("cached")});
  ASSERT_EQ(load_file(e(), "f.txt", r), kLoadOk);
  EXPECT_EQ(r.source, FileSource::cached);
  EXPECT_EQ(r.cache_group, 2);
  EXPECT_EQ(r.cache_slot, 0);
  EXPECT_EQ(r.type, FileType::bmp);
  EXPECT_EQ(text(r), "cached");
  EXPECT_TRUE(errors().empty());
}

TEST_F(FileLoader, PackedExecutableSkipsLooseFilesButNotInMemorySources) {
  std::string inner = pack_of({{.name = "f.txt", .data = "pack"}});
  auto exe = dir().write("title.bin", test::build_packed_executable("ELF", inner));
  write("f.txt", "loose");
  write("g.txt", "loose only");
  ASSERT_EQ(mount_all_packs(e(), exe.string()), 0);
  FileRequest r;
  ASSERT_EQ(load_file(e(), "f.txt", r), kLoadOk);
  EXPECT_EQ(text(r), "pack");
  EXPECT_EQ(load_file(e(), "g.txt", r, false), kLoadNotFound);
  add_shared_file(e().resources, {"g.txt", bytes("shared")});
  ASSERT_EQ(load_file(e(), "g.txt", r), kLoadOk);
  EXPECT_EQ(text(r), "shared");
}

TEST_F(FileLoader, MissingFilesReportOnlyWhenAsked) {
  FileRequest r;
  EXPECT_EQ(load_file(e(), "none.png", r, false), kLoadNotFound);
  EXPECT_TRUE(errors().empty());
  EXPECT_EQ(load_file(e(), "none.png", r, true), kLoadNotFound);
  EXPECT_EQ(errors().at(0), message(104060, {"none.png"}));
  EXPECT_TRUE(e().stop.load());
}

TEST_F(FileLoader, APackThatHasGoneGivesMinus2And901040) {
  write("a.npf", pack_of({{.name = "x.txt", .data = "x"}}));
  ASSERT_EQ(mount_all_packs(e(), ""), 0);
  std::filesystem::remove(dir().path() / "a.npf");
  FileRequest r;
  EXPECT_EQ(load_file(e(), "x.txt", r, false), kLoadDamaged);
  EXPECT_TRUE(errors().empty());
  EXPECT_EQ(load_file(e(), "x.txt", r, true), kLoadDamaged);
  EXPECT_EQ(errors().at(0), message(901040, {"x.txt"}));
}

TEST_F(FileLoader, LooseFilesAreFoundByTheirShiftJisNames) {
  write("画像/背景Ａ.png", "japanese");
  FileRequest r;
  ASSERT_EQ(load_file(e(), platform::utf8_to_sjis("画像\\背景ａ.PNG"), r), kLoadOk);
  EXPECT_EQ(text(r), "japanese");
  // "表" has 0x5C as its second byte: not a folder separator.
  write("表示.txt", "hyouji");
  ASSERT_EQ(load_file(e(), platform::utf8_to_sjis("表示.txt"), r), kLoadOk);
  EXPECT_EQ(text(r), "hyouji");
  // Through the media resolver, without extension and with '/'.
  ASSERT_EQ(resolve_media(e(), platform::utf8_to_sjis("画像/背景ａ"), MediaKind::image, r), kMediaFound);
  EXPECT_EQ(r.type, FileType::png);
  ASSERT_EQ(load_file(e(), "", r, true, false), kLoadOk);
  EXPECT_EQ(text(r), "japanese");
}

TEST_F(FileLoader, MediaProbingFollowsTheConfiguredOrder) {
  write("bg01.bmp", "BMP");
  write("bg01.png", "PNG");
  write("a.npf", pack_of({{.name = "bg02.jpg", .data = "JPG in pack", .type = 3}, {.name = "se.wav", .data = "W", .type = 5}}));
  write("se.ogg", "OGG");
  ASSERT_EQ(mount_all_packs(e(), ""), 0);
  FileRequest r;
  ASSERT_EQ(resolve_media(e(), "BG01", MediaKind::image, r), kMediaFound);  // png, bmp, jpg, gif
  EXPECT_EQ(r.name, "bg01.png");
  EXPECT_EQ(r.type, FileType::png);
  ASSERT_EQ(load_file(e(), r.name, r, true, false), kLoadOk);
  EXPECT_EQ(text(r), "PNG");

  e().resources.image_order = {2, 1, 3, 4};
  ASSERT_EQ(resolve_media(e(), "bg01", MediaKind::image, r), kMediaFound);
  EXPECT_EQ(r.name, "bg01.bmp");
  EXPECT_EQ(r.type, FileType::bmp);

  e().resources.image_order = {9, 0, 3, 1};  // unknown values are skipped
  ASSERT_EQ(resolve_media(e(), "./x/../bg02", MediaKind::image, r), kMediaFound);
  EXPECT_EQ(r.name, "bg02.jpg");
  EXPECT_EQ(r.source, FileSource::pack);
  EXPECT_EQ(r.type, FileType::jpeg);

  // A name with its extension is looked up once, as it is.
  ASSERT_EQ(resolve_media(e(), "se.wav", MediaKind::sound, r), kMediaFound);
  EXPECT_EQ(r.source, FileSource::pack);
  ASSERT_EQ(resolve_media(e(), "se", MediaKind::sound, r), kMediaFound);  // ogg, wav
  EXPECT_EQ(r.name, "se.ogg");
  EXPECT_EQ(r.type, FileType::ogg);
  e().resources.sound_order = {2, 1};
  ASSERT_EQ(resolve_media(e(), "se", MediaKind::sound, r), kMediaFound);
  EXPECT_EQ(r.name, "se.wav");

  EXPECT_EQ(resolve_media(e(), "bg01.tga", MediaKind::image, r), kMediaNotFound);
  EXPECT_EQ(resolve_media(e(), "bg01", MediaKind::sound, r), kMediaNotFound);
  EXPECT_TRUE(errors().empty());
}

TEST_F(FileLoader, ABlankInAPathComponentIsAnError) {
  FileRequest r;
  EXPECT_EQ(resolve_media(e(), "my bg", MediaKind::image, r), kMediaNotFound);  // no '.', ':' or '/': taken as is
  EXPECT_TRUE(errors().empty());
  EXPECT_EQ(resolve_media(e(), "bg/my bg.png", MediaKind::image, r), kMediaError);
  EXPECT_EQ(errors().size(), 1u);
}

TEST_F(FileLoader, CachesKeepTheNewest512AndReadsFollowMovedSlots) {
  ResourceState& rs = e().resources;
  for (int i = 0; i < 513; ++i) cache_put(rs, 1, {"f" + std::to_string(i), FileType::png, bytes(std::to_string(i))});
  EXPECT_EQ(rs.caches[1].slots.size(), 512u);
  EXPECT_EQ(rs.caches[1].slots.front().name, "f1");
  FileRequest r;
  EXPECT_EQ(load_file(e(), "f0", r, false), kLoadNotFound);
  ASSERT_EQ(lookup_file(e(), "f5", r), kLookupFound);
  EXPECT_EQ(r.cache_slot, 4);
  EXPECT_EQ(cache_touch(rs, 1, 4), 511);  // f5 becomes the newest; the request's slot is stale
  ASSERT_EQ(load_file(e(), "", r, true, false), kLoadOk);
  EXPECT_EQ(text(r), "5");
  EXPECT_EQ(r.cache_slot, 511);
  EXPECT_EQ(cache_put(rs, 4, {}), -1);
  cache_clear(rs);
  EXPECT_EQ(rs.caches[1].total_size, 0u);
  EXPECT_EQ(load_file(e(), "f5", r, false), kLoadNotFound);
}

}  // namespace
}  // namespace nv::res
