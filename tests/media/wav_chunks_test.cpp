#include <gtest/gtest.h>

#include <cstring>

#include "media/sound_channel.h"
#include "media/wav_chunks.h"
#include "tests/media/sound_files.h"

namespace nv::media {
namespace {

using test::TempDir;

void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + size_t(i)] = uint8_t(v >> (8 * i));
}

// Inserts a chunk `tag` with `body` at byte `at` of a RIFF file.
std::vector<uint8_t> with_chunk(std::vector<uint8_t> b, size_t at, const char* tag, const std::string& body) {
  std::vector<uint8_t> c(8 + body.size() + (body.size() & 1), 0);
  std::memcpy(c.data(), tag, 4);
  put32(c, 4, uint32_t(body.size()));
  std::memcpy(c.data() + 8, body.data(), body.size());
  b.insert(b.begin() + long(at), c.begin(), c.end());
  put32(b, 4, uint32_t(b.size() - 8));
  return b;
}

class WavChunks : public ::testing::Test {
 protected:
  std::vector<uint8_t> sox(const std::string& format_args, const std::string& effects = "synth 0.5 sine 440") {
    const std::string p = test::sox_make(dir_, "f" + std::to_string(n_++) + ".wav", format_args, effects);
    EXPECT_FALSE(p.empty()) << format_args;
    return test::file_bytes(p);
  }
  TempDir dir_;
  int n_ = 0;
};

TEST_F(WavChunks, ReadsSoxPcmFilesWithTheirPaddingAndExtraChunks) {
  // 8-bit mono with an odd data size (its pad byte follows).
  std::vector<uint8_t> b = sox("-r 22050 -c 1 -b 8");
  WavLayout w;
  ASSERT_EQ(parse_wav(b, w), 0);
  EXPECT_EQ(w.format.channels, 1);
  EXPECT_EQ(w.format.bits, 8);
  EXPECT_EQ(w.format.rate, 22050u);
  EXPECT_EQ(w.data_size, 11025u);
  EXPECT_EQ(w.data_offset, 44u);

  // 16-bit stereo, then with a LIST chunk between "fmt " and "data".
  b = sox("-r 44100 -c 2 -b 16");
  ASSERT_EQ(parse_wav(b, w), 0);
  EXPECT_EQ(w.format.block_align, 4);
  EXPECT_EQ(w.data_size, 88200u);
  std::vector<uint8_t> listed = with_chunk(b, 36, "LIST", "INFOISFT\x05\0\0\0sox!");
  ASSERT_EQ(parse_wav(listed, w), 0);
  EXPECT_EQ(w.data_size, 88200u);
  EXPECT_EQ(0, std::memcmp(listed.data() + w.data_offset, b.data() + 44, 88200));

  // The built-in silent WAV: an 18-byte "fmt " and a "fact" chunk.
  ASSERT_EQ(parse_wav(silent_wav(), w), 0);
  EXPECT_EQ(silent_wav().size(), 1930u);
  EXPECT_EQ(w.data_offset, 58u);
  EXPECT_EQ(w.data_size, 1872u);
  EXPECT_EQ(w.format.bytes_per_second, 176400u);
}

TEST_F(WavChunks, RefusesWhatIsNotPlayablePcm) {
  WavLayout w;
  EXPECT_EQ(parse_wav(sox("-r 44100 -c 2 -b 24"), w), kWavNotPcm);                      // extensible tag
  EXPECT_EQ(parse_wav(sox("-r 44100 -c 1 -b 32 -e floating-point"), w), kWavNotPcm);   // tag 3
  EXPECT_EQ(parse_wav(sox("-r 8000 -c 1 -e ima-adpcm"), w), kWavNotPcm);              // tag 0x11
  EXPECT_EQ(parse_wav(sox("-r 44100 -c 6 -b 16"), w), kWavNotPcm);
}

TEST_F(WavChunks, EveryStructuralFaultHasItsNumber) {
  const std::vector<uint8_t> good = sox("-r 8000 -c 1 -b 16", "synth 0.01 sine 100");
  WavLayout w;
  EXPECT_EQ(parse_wav({}, w), kWavEmpty);
  std::vector<uint8_t> b = good;
  b[0] = 'X';
  EXPECT_EQ(parse_wav(b, w), kWavNotRiff);
  b = good;
  b[8] = 'X';
  EXPECT_EQ(parse_wav(b, w), kWavNotWave);
  // A LIST chunk before "fmt ".
  EXPECT_EQ(parse_wav(with_chunk(good, 12, "LIST", "INFO"), w), kWavFirstNotFmt);
  // No "data" chunk: the file ends after "fmt ".
  b.assign(good.begin(), good.begin() + 36);
  EXPECT_EQ(parse_wav(b, w), kWavNoData);
  // A chunk before "data" claims more bytes than the file has.
  b = with_chunk(good, 36, "junk", "abcd");
  put32(b, 40, 0xFFFFFFFFu);  // rounding this up to even must not wrap
  EXPECT_EQ(parse_wav(b, w), kWavChunkOverrun);
  // A 14-byte "fmt " (bits per sample would come from the next chunk).
  b = good;
  put32(b, 16, 14);
  EXPECT_EQ(parse_wav(b, w), kWavBadFormat);
  // Sizes that would divide by zero or contradict each other.
  for (size_t field : {22u, 24u, 32u}) {  // channels, rate, block align
    b = good;
    std::memset(&b[field], 0, field == 24 ? 4 : 2);
    EXPECT_EQ(parse_wav(b, w), kWavBadFormat) << field;
  }
  b = good;
  b[32] = 4;  // block align 4 for 16-bit mono
  EXPECT_EQ(parse_wav(b, w), kWavBadFormat);
}

TEST_F(WavChunks, DataSizesAreBoundedByTheFile) {
  const std::vector<uint8_t> good = sox("-r 8000 -c 2 -b 16", "synth 0.01 sine 100");
  WavLayout w;
  std::vector<uint8_t> b = good;
  put32(b, 40, 0xFFFFFFFFu);  // a streaming writer's unknown size
  ASSERT_EQ(parse_wav(b, w), 0);
  EXPECT_EQ(w.data_size, 320u);
  b.resize(b.size() - 3);  // truncated mid-frame: whole frames only
  ASSERT_EQ(parse_wav(b, w), 0);
  EXPECT_EQ(w.data_size, 316u);
  EXPECT_LE(size_t(w.data_offset) + w.data_size, b.size());
}

TEST_F(WavChunks, EveryPrefixOfAFileIsHandled) {
  const std::vector<uint8_t> good = with_chunk(sox("-r 8000 -c 1 -b 8", "synth 0.005 sine 100"), 36, "LIST", "x");
  for (size_t n = 0; n <= good.size(); ++n) {
    const std::vector<uint8_t> b(good.begin(), good.begin() + long(n));
    WavLayout w;
    const int r = parse_wav(b, w);
    if (r == 0) {
      EXPECT_LE(size_t(w.data_offset) + w.data_size, n);
    } else {
      EXPECT_TRUE(r == kWavEmpty || r == kWavNotRiff || r == kWavNotWave || r == kWavFirstNotFmt ||
                  r == kWavBadFormat || r == kWavNoData || r == kWavChunkOverrun)
          << n << ": " << r;
    }
  }
}

}  // namespace
}  // namespace nv::media
