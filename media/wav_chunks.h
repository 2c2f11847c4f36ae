// A bounded walk over the chunks of a RIFF WAVE file held in memory: finds
// the format and the sample data without ever reading outside the block.
#pragma once

#include <cstdint>
#include <span>

namespace nv::media {

struct WavFormat {
  uint16_t tag = 0;           // 1 = PCM
  uint16_t channels = 0;
  uint32_t rate = 0;
  uint32_t bytes_per_second = 0;
  uint16_t block_align = 0;
  uint16_t bits = 0;
};

struct WavLayout {
  WavFormat format;
  uint32_t data_offset = 0;  // into the file
  uint32_t data_size = 0;    // the bytes present, whole frames only
};

// Error numbers of the walk (the sound engine's internal errors).
constexpr int kWavEmpty = 10030;         // no bytes at all
constexpr int kWavNotRiff = 10040;
constexpr int kWavNotWave = 10050;
constexpr int kWavFirstNotFmt = 10060;   // the first sub-chunk is not "fmt "
constexpr int kWavNoData = 10070;
constexpr int kWavChunkOverrun = 10080;  // a chunk before "data" runs past the end of the file
constexpr int kWavBadFormat = 10090;     // "fmt " too short or its sizes contradict each other
constexpr int kWavNotPcm = 10200;        // not PCM, or PCM the mixer cannot play

// Returns 0 and fills `out`, or one of the numbers above. Accepted: PCM
// (tag 1) with 1 or 2 channels of 8 or 16 bits, block align = channels x
// bits / 8, 100 to 200000 frames per second. A data chunk longer than the
// file keeps the frames that are present; odd chunk sizes are padded.
int parse_wav(std::span<const uint8_t> file, WavLayout& out);

}  // namespace nv::media
