#include "formats/byte_reader.h"
#include "tools/writers/pack_writer.h"

#include <gtest/gtest.h>

#include <zlib.h>

#include <random>

#include "formats/checksums.h"
#include "formats/pack_format.h"
#include "formats/pack_view.h"
#include "formats/repair_record.h"
#include "tools/writers/write_error.h"

namespace nv::writers {
namespace {

Bytes random_bytes(size_t n, unsigned seed) {
  std::mt19937 g(seed);
  Bytes b(n);
  for (auto& x : b) x = static_cast<uint8_t>(g());
  return b;
}

TEST(PackWriter, HeaderAndEntryRecordLayout) {
  PackWriter w;
  Bytes png = random_bytes(3000, 1);
  w.add("BG/Title.PNG", png);
  Bytes text(5000, 'a');
  w.add("nvbin\\nvc.nbn", text);
  Bytes p = w.encode();

  EXPECT_EQ(std::string(p.begin(), p.begin() + 4), std::string("NPF\0", 4));
  EXPECT_EQ(load_u32(p, 4), 404u);
  EXPECT_EQ(load_u32(p, 8), 2u);
  const std::string n0 = "bg\\title.png", n1 = "nvbin\\nvc.nbn";
  EXPECT_EQ(load_u32(p, 12), 23 + n0.size() + 23 + n1.size());
  for (int i = 16; i < 32; ++i) EXPECT_EQ(p[static_cast<size_t>(i)], 0);

  // First record: hash of the normalised name, P-coded length, inverted name.
  size_t r = 32;
  EXPECT_EQ(load_u32(p, r), crc32_of(n0));
  EXPECT_EQ(pack::name_length(p[r + 4]), n0.size());
  EXPECT_EQ(p[r + 4], pack::stored_length_byte(static_cast<uint8_t>(n0.size())));
  for (size_t k = 0; k < n0.size(); ++k) EXPECT_EQ(p[r + 5 + k], static_cast<uint8_t>(~n0[k]));
  size_t f = r + 5 + n0.size();
  EXPECT_EQ(p[f], 2);                       // PNG
  EXPECT_EQ(p[f + 1], pack::kStored);       // PNG is stored
  EXPECT_EQ(load_u32(p, f + 2), 3000u);
  EXPECT_EQ(load_u32(p, f + 6), 3000u);
  uint32_t off0 = load_u32(p, f + 10);
  EXPECT_EQ(off0, 32 + load_u32(p, 12));    // data follows the index
  EXPECT_TRUE(std::equal(png.begin(), png.end(), p.begin() + off0));
  EXPECT_EQ(load_u32(p, f + 14), adler32_of(png, 1));

  // Second record: zlib; its data follows the first entry's repair record.
  size_t r1 = f + 18;
  size_t f1 = r1 + 5 + n1.size();
  EXPECT_EQ(p[f1], 0);
  EXPECT_EQ(p[f1 + 1], pack::kZlib);
  EXPECT_EQ(load_u32(p, f1 + 2), 5000u);
  uint32_t stored = load_u32(p, f1 + 6);
  uint32_t off1 = load_u32(p, f1 + 10);
  EXPECT_EQ(off1, off0 + 3000 + (8 + 2 * 3 + 1024));
  Bytes out(5000);
  uLongf len = 5000;
  ASSERT_EQ(uncompress(out.data(), &len, p.data() + off1, stored), Z_OK);
  EXPECT_EQ(out, text);
  EXPECT_EQ(p.size(), off1 + stored + 8 + 2 + 1024);

  pack::PackView v = pack::read_pack(p);
  ASSERT_EQ(v.entries.size(), 2u);
  EXPECT_EQ(v.entries[0].name, n0);
  EXPECT_EQ(pack::read_entry(v, v.entries[1]).data, text);
}

TEST(PackWriter, NamesAndCompressionChoices) {
  EXPECT_EQ(normalize_entry_name("./A/B.WAV"), "a\\b.wav");
  EXPECT_EQ(normalize_entry_name("\\x"), "x");
  // The trail byte of a double-byte character is neither lower-cased nor a separator.
  EXPECT_EQ(normalize_entry_name("\x83\x41/\x95\x5C.BMP"), "\x83\x41\\\x95\x5C.bmp");
  EXPECT_THROW(normalize_entry_name("a/../b"), WriteError);
  EXPECT_THROW(normalize_entry_name("a//b"), WriteError);
  EXPECT_THROW(normalize_entry_name("dir/"), WriteError);
  EXPECT_THROW(normalize_entry_name(std::string(256, 'n')), WriteError);
  EXPECT_EQ(pack_file_type("x.JPEG"), 3);
  EXPECT_EQ(pack_file_type("x.ogg"), 6);
  EXPECT_EQ(pack_file_type("x.psd"), 7);
  EXPECT_EQ(pack_file_type("dir.png\\x"), 0);
  EXPECT_FALSE(compressed_by_default("a.ogg"));
  EXPECT_TRUE(compressed_by_default("a.wav"));

  PackWriter w;
  w.add("a.txt", Bytes(100, 'x'));
  EXPECT_THROW(w.add("A.TXT", Bytes(1, 'y')), WriteError);  // same name after normalisation
  w.add("noise.bin", random_bytes(2000, 2));                  // would not shrink: stored
  w.add("forced.png", Bytes(100, 'x'), Compress::always);
  w.add("plain.txt", Bytes(100, 'x'), Compress::never);
  pack::PackView v = pack::read_pack(w.encode());
  EXPECT_EQ(v.entries[0].compression, pack::kZlib);
  EXPECT_EQ(v.entries[1].compression, pack::kStored);
  EXPECT_EQ(v.entries[2].compression, pack::kZlib);
  EXPECT_EQ(v.entries[3].compression, pack::kStored);
}

TEST(RepairRecord, BlockChecksAndParity) {
  Bytes s = random_bytes(2500, 3);  // blocks of 1024, 1024 and 452 bytes
  Bytes r = encode_repair_record(s);
  ASSERT_EQ(r.size(), 8u + 6 + 1024);
  EXPECT_EQ(load_u32(r, 0), 1024u);
  EXPECT_EQ(load_u32(r, 4), 3u);
  for (size_t j = 0; j < 3; ++j) {
    size_t len = j < 2 ? 1024 : 452;
    uint16_t want = static_cast<uint16_t>(crc32_of(std::span<const uint8_t>(s.data() + 1024 * j, len)));
    EXPECT_EQ(r[8 + 2 * j] | r[9 + 2 * j] << 8, want) << j;
  }
  for (size_t p : {0u, 451u, 452u, 1023u}) {
    uint8_t x = static_cast<uint8_t>(s[p] ^ s[1024 + p] ^ (p < 452 ? s[2048 + p] : 0));
    EXPECT_EQ(r[14 + p], x) << p;
  }
  EXPECT_EQ(repair_record_size(r), r.size());
  EXPECT_EQ(encode_repair_record({}).size(), 8u + 1024);
}

TEST(RepairRecord, RebuildsOneDamagedBlockOnly) {
  Bytes s = random_bytes(2500, 4);
  uint32_t adler = adler32_of(s, 1);
  Bytes r = encode_repair_record(s);
  EXPECT_EQ(repair_stored(s, r, adler), 0);

  Bytes d = s;
  d[2100] ^= 0x5A;  // in the partial last block
  d[2101] ^= 0x01;
  EXPECT_EQ(repair_stored(d, r, adler), 1);
  EXPECT_EQ(d, s);

  d = s;
  d[10] ^= 1;
  d[1500] ^= 1;  // two damaged blocks
  EXPECT_EQ(repair_stored(d, r, adler), -1);
  d = s;
  d[10] ^= 1;
  EXPECT_EQ(repair_stored(d, empty_repair_record(), adler), -1);
}

TEST(PackWriter, DamagedEntriesAreRepairedOrReported) {
  PackWriter w;
  Bytes data = random_bytes(4000, 5);
  w.add("data.bin", data, Compress::never);
  w.add("text.txt", Bytes(3000, 'q'));
  Bytes p = w.encode();
  pack::PackView v = pack::read_pack(p);
  Bytes damaged = p;
  damaged[v.entries[0].data_offset + 1234] ^= 0xFF;
  damaged[v.entries[1].data_offset + 3] ^= 0x10;
  pack::PackView dv = pack::read_pack(damaged);
  pack::EntryData e0 = pack::read_entry(dv, dv.entries[0]);
  EXPECT_EQ(e0.status, pack::EntryStatus::repaired);
  EXPECT_EQ(e0.data, data);
  pack::EntryData e1 = pack::read_entry(dv, dv.entries[1]);
  EXPECT_EQ(e1.status, pack::EntryStatus::repaired);
  EXPECT_EQ(e1.data, Bytes(3000, 'q'));

  PackWriter bare(PackOptions{false, 9});
  bare.add("data.bin", data, Compress::never);
  Bytes q = bare.encode();
  EXPECT_EQ(q.size(), 32 + 23 + 8 + 4000 + 8u);
  pack::PackView bv = pack::read_pack(q);
  q[bv.entries[0].data_offset] ^= 1;
  EXPECT_EQ(pack::read_entry(pack::read_pack(q), bv.entries[0]).status, pack::EntryStatus::damaged);
}

TEST(PackReader, RefusesMalformedPacks) {
  PackWriter w;
  w.add("a.txt", Bytes(10, 'a'));
  Bytes p = w.encode();
  EXPECT_THROW(pack::read_pack(Bytes(p.begin(), p.begin() + 20)), pack::PackReadError);
  Bytes bad = p;
  bad[12] = 0xFF;  // index larger than the file
  bad[13] = 0xFF;
  EXPECT_THROW(pack::read_pack(bad), pack::PackReadError);
  bad = p;
  bad[8] = 5;  // more entries than the index holds
  EXPECT_THROW(pack::read_pack(bad), pack::PackReadError);
  bad = p;
  size_t f = 32 + 5 + 5;
  bad[f + 10] = 0xF0;  // data offset outside the pack
  bad[f + 13] = 0x7F;
  EXPECT_THROW(pack::read_pack(bad), pack::PackReadError);
  bad = p;
  bad[4] = 200;  // version 200
  bad[5] = 0;
  EXPECT_THROW(pack::read_pack(bad), pack::PackReadError);
}

TEST(PackedExecutable, HeaderTrailerAndReplacement) {
  PackWriter w;
  w.add("nvbin/nvcfg.nbn", Bytes(64, 1));
  Bytes pack = w.encode();
  Bytes engine = random_bytes(777, 6);
  Bytes exe = encode_packed_executable(engine, pack, true);
  ASSERT_EQ(exe.size(), 777 + 16 + pack.size() + 16);
  EXPECT_TRUE(std::equal(engine.begin(), engine.end(), exe.begin()));
  EXPECT_EQ(std::string(exe.begin() + 777, exe.begin() + 781), "NVER");
  EXPECT_EQ(load_u32(exe, 781), 16u);
  EXPECT_EQ(load_u32(exe, 785), 1u);
  EXPECT_EQ(load_u32(exe, 789), 0u);
  EXPECT_TRUE(std::equal(pack.begin(), pack.end(), exe.begin() + 793));
  size_t t = exe.size() - 16;
  EXPECT_EQ(std::string(exe.begin() + static_cast<long>(t), exe.begin() + static_cast<long>(t) + 8), "NVRES201");
  EXPECT_EQ(load_u32(exe, t + 8), 777u);
  EXPECT_EQ(load_u32(exe, t + 12), 0u);

  pack::LocatedPack a = pack::locate_pack(exe);
  EXPECT_TRUE(a.present);
  EXPECT_TRUE(a.screen_saver);
  EXPECT_EQ(Bytes(a.pack.begin(), a.pack.end()), pack);
  EXPECT_EQ(pack::executable_size(exe), 777u);
  EXPECT_FALSE(pack::locate_pack(engine).present);
  // Packing an already packed executable replaces its pack.
  Bytes again = encode_packed_executable(exe, pack, false);
  EXPECT_EQ(again.size(), exe.size());
  EXPECT_FALSE(pack::locate_pack(again).screen_saver);
}

}  // namespace
}  // namespace nv::writers
