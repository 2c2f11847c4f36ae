#include "media/wav_chunks.h"

#include <cstring>

namespace nv::media {

namespace {

uint16_t le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t le32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
bool tag_is(const uint8_t* p, const char* t) { return std::memcmp(p, t, 4) == 0; }

constexpr uint64_t kRiffHeader = 12;
constexpr uint64_t kChunkHeader = 8;
constexpr uint32_t kMinFmtBytes = 16;

}  // namespace

int parse_wav(std::span<const uint8_t> file, WavLayout& out) {
  // Offsets are 32-bit: a larger block is read as its first 4 GiB.
  const uint64_t size = file.size() < 0xFFFFFFFFull ? file.size() : 0xFFFFFFFFull;
  const uint8_t* b = file.data();
  if (size == 0) return kWavEmpty;
  if (size < kChunkHeader || !tag_is(b, "RIFF")) return kWavNotRiff;
  if (size < kRiffHeader || !tag_is(b + 8, "WAVE")) return kWavNotWave;
  // The RIFF size is not trusted: the walk is bounded by the file itself.
  uint64_t at = kRiffHeader;
  if (size < at + kChunkHeader || !tag_is(b + at, "fmt ")) return kWavFirstNotFmt;
  const uint64_t fmt_size = le32(b + at + 4);
  if (fmt_size < kMinFmtBytes || at + kChunkHeader + fmt_size > size) return kWavBadFormat;
  const uint8_t* f = b + at + kChunkHeader;
  WavFormat fmt;
  fmt.tag = le16(f);
  fmt.channels = le16(f + 2);
  fmt.rate = le32(f + 4);
  fmt.bytes_per_second = le32(f + 8);
  fmt.block_align = le16(f + 12);
  fmt.bits = le16(f + 14);
  at += kChunkHeader + fmt_size + (fmt_size & 1);

  bool found = false;
  uint64_t data_at = 0, data_size = 0;
  while (at + kChunkHeader <= size) {
    const uint64_t n = le32(b + at + 4);
    if (tag_is(b + at, "data")) {
      found = true;
      data_at = at + kChunkHeader;
      data_size = n < size - data_at ? n : size - data_at;
      break;
    }
    const uint64_t next = at + kChunkHeader + n + (n & 1);
    if (next > size) return kWavChunkOverrun;
    at = next;
  }
  if (!found) return kWavNoData;
  if (fmt.tag != 1) return kWavNotPcm;
  if (fmt.channels == 0 || fmt.block_align == 0 || fmt.rate == 0 || fmt.bits == 0 || fmt.bits % 8 != 0 ||
      fmt.block_align != fmt.channels * (fmt.bits / 8))
    return kWavBadFormat;
  if (fmt.channels > 2 || (fmt.bits != 8 && fmt.bits != 16) || fmt.rate < 100 || fmt.rate > 200000) return kWavNotPcm;
  out.format = fmt;
  out.data_offset = static_cast<uint32_t>(data_at);
  out.data_size = static_cast<uint32_t>(data_size - data_size % fmt.block_align);
  return 0;
}

}  // namespace nv::media
