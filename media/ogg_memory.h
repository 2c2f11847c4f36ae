// Ogg Vorbis through libvorbisfile, read from a file held in memory. Each
// open stream has its own reader position, so two streams over one file
// never move each other.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include <vorbis/vorbisfile.h>

namespace nv::media {

struct OggMemoryReader {
  const uint8_t* data = nullptr;
  size_t size = 0;
  size_t position = 0;
};

// read copies what is left up to the request; seek refuses positions
// outside the file; close does nothing; tell gives the position.
ov_callbacks ogg_memory_callbacks();

// An open decoder over a memory block, closed when it goes.
class OggStream {
 public:
  OggStream() = default;
  ~OggStream() { close(); }
  OggStream(const OggStream&) = delete;
  OggStream& operator=(const OggStream&) = delete;

  // ov_open_callbacks over `file` (which must outlive the stream); returns
  // its result (0 on success).
  int open(std::span<const uint8_t> file);
  void close();
  bool is_open() const { return open_; }
  OggVorbis_File* get() { return &vf_; }

 private:
  OggVorbis_File vf_{};
  OggMemoryReader reader_;
  bool open_ = false;
};

// Error numbers of the sound engine for Ogg files.
constexpr int kOggCannotOpen = 1030;
constexpr int kOggNotSeekable = 1040;
constexpr int kOggChained = 1045;
constexpr int kOggNoInfo = 1050;

struct OggFacts {
  int channels = 0;
  long rate = 0;
  int64_t total_ms = 0;  // truncated
};

// Opens `file` once to read its facts: 0, or 1030 / 1040 / 1045 / 1050.
int probe_ogg(std::span<const uint8_t> file, OggFacts& out);

// The sound engine's number for a negative ov_read result: a hole in the
// data 90001, a bad link 90002, others their absolute value.
int ogg_read_error(long result);

}  // namespace nv::media
