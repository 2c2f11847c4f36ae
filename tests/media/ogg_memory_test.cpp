#include <gtest/gtest.h>

#include <cstdio>

#include "media/ogg_memory.h"
#include "tests/media/sound_files.h"

namespace nv::media {
namespace {

using test::TempDir;

TEST(OggMemory, CallbacksNeverLeaveTheFile) {
  const std::vector<uint8_t> data(100, 7);
  OggMemoryReader r{data.data(), data.size(), 0};
  const ov_callbacks cb = ogg_memory_callbacks();
  uint8_t buf[256];
  EXPECT_EQ(cb.read_func(buf, 1, 60, &r), 60u);
  EXPECT_EQ(cb.read_func(buf, 1, 60, &r), 40u);  // what is left
  EXPECT_EQ(cb.read_func(buf, 1, 60, &r), 0u);
  // A count whose byte size overflows reads what is there, whole elements.
  r.position = 0;
  EXPECT_EQ(cb.read_func(buf, 8, SIZE_MAX / 4, &r), 12u);
  EXPECT_EQ(cb.tell_func(&r), 96);

  EXPECT_EQ(cb.seek_func(&r, 10, SEEK_SET), 0);
  EXPECT_EQ(cb.seek_func(&r, -5, SEEK_CUR), 0);
  EXPECT_EQ(cb.tell_func(&r), 5);
  EXPECT_EQ(cb.seek_func(&r, 0, SEEK_END), 0);
  EXPECT_EQ(cb.tell_func(&r), 100);
  // Outside the file: refused, and the position stays.
  EXPECT_EQ(cb.seek_func(&r, 1, SEEK_END), -1);
  EXPECT_EQ(cb.seek_func(&r, -101, SEEK_CUR), -1);
  EXPECT_EQ(cb.seek_func(&r, INT64_MAX, SEEK_CUR), -1);
  EXPECT_EQ(cb.seek_func(&r, -1, SEEK_SET), -1);
  EXPECT_EQ(cb.tell_func(&r), 100);
}

TEST(OggMemory, ProbesStreamsAndRefusesChainsAndGarbage) {
  TempDir dir;
  struct Case {
    const char* args;
    int channels;
    long rate;
  } cases[] = {{"-r 22050 -c 1", 1, 22050}, {"-r 44100 -c 2", 2, 44100}, {"-r 48000 -c 2", 2, 48000},
               {"-r 44100 -c 6", 6, 44100}};
  for (const Case& c : cases) {
    const std::string p = test::ogg_make(dir, std::string("t") + std::to_string(c.rate) + ".ogg",
                                         std::string(c.args) + " -b 16", "synth 1.5 sine 440");
    ASSERT_FALSE(p.empty());
    OggFacts f;
    ASSERT_EQ(probe_ogg(test::file_bytes(p), f), 0) << c.args;
    EXPECT_EQ(f.channels, c.channels);
    EXPECT_EQ(f.rate, c.rate);
    EXPECT_EQ(f.total_ms, 1500);
  }
  // A 10 ms file.
  const std::string tiny = test::ogg_make(dir, "tiny.ogg", "-r 44100 -c 2 -b 16", "synth 0.01 sine 440");
  OggFacts f;
  ASSERT_EQ(probe_ogg(test::file_bytes(tiny), f), 0);
  EXPECT_EQ(f.total_ms, 10);

  EXPECT_EQ(probe_ogg(test::chained_ogg(dir), f), kOggChained);

  EXPECT_EQ(probe_ogg({}, f), kOggCannotOpen);
  const std::vector<uint8_t> noise(5000, 0x4F);
  EXPECT_EQ(probe_ogg(noise, f), kOggCannotOpen);
  // Truncated inside its headers.
  std::vector<uint8_t> cut = test::file_bytes(tiny);
  cut.resize(200);
  EXPECT_EQ(probe_ogg(cut, f), kOggCannotOpen);
}

// Decodes everything `file` gives; the count of bytes, or the first error.
long decode_all(const std::vector<uint8_t>& file) {
  OggStream s;
  if (s.open(file) != 0) return -1;
  long total = 0;
  char buf[4096];
  int section = 0;
  for (int guard = 0; guard < 100000; ++guard) {
    const long r = ov_read(s.get(), buf, sizeof buf, 0, 2, 1, &section);
    if (r <= 0) return r < 0 ? r : total;
    total += r;
  }
  return total;
}

TEST(OggMemory, DamagedDataDecodesOrFailsWithoutHarm) {
  TempDir dir;
  const std::string p = test::ogg_make(dir, "d.ogg", "-r 44100 -c 2 -b 16", "synth 2 pinknoise vol 0.5");
  const std::vector<uint8_t> good = test::file_bytes(p);
  EXPECT_EQ(decode_all(good), 2 * 44100 * 4);
  // Flipped bytes across the middle pages; and the file cut short.
  for (size_t at = good.size() / 3; at < good.size(); at += good.size() / 7) {
    std::vector<uint8_t> bad = good;
    for (size_t i = at; i < at + 64 && i < bad.size(); ++i) bad[i] ^= 0x5A;
    const long r = decode_all(bad);
    EXPECT_TRUE(r >= 0 || r == OV_HOLE || r == OV_EBADLINK || r == -1) << at << ": " << r;
  }
  std::vector<uint8_t> cut(good.begin(), good.begin() + long(good.size() * 3 / 4));
  EXPECT_GT(decode_all(cut), 0);
  EXPECT_EQ(ogg_read_error(OV_HOLE), 90001);
  EXPECT_EQ(ogg_read_error(OV_EBADLINK), 90002);
  EXPECT_EQ(ogg_read_error(OV_EREAD), 128);
}

TEST(OggMemory, TwoStreamsOverOneFileKeepTheirOwnPositions) {
  TempDir dir;
  const std::string p = test::ogg_make(dir, "two.ogg", "-r 44100 -c 1 -b 16", "synth 1 sine 440");
  const std::vector<uint8_t> file = test::file_bytes(p);
  OggStream a, b;
  ASSERT_EQ(a.open(file), 0);
  ASSERT_EQ(b.open(file), 0);
  ASSERT_EQ(ov_pcm_seek(a.get(), 30000), 0);
  ASSERT_EQ(ov_time_seek(b.get(), 0.25), 0);
  EXPECT_EQ(ov_pcm_tell(a.get()), 30000);
  EXPECT_EQ(ov_pcm_tell(b.get()), 11025);
  char buf[64];
  int section = 0;
  EXPECT_GT(ov_read(a.get(), buf, sizeof buf, 0, 2, 1, &section), 0);
  EXPECT_EQ(ov_pcm_tell(b.get()), 11025);
}

}  // namespace
}  // namespace nv::media
