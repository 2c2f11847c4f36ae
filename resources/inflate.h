// One-shot decompression of a zlib stream into a block of the expected
// size, with zlib's outcomes whichever library does the work.
#pragma once

#include <cstdint>
#include <span>

namespace nv::res {

enum class InflateStatus {
  ok,            // exactly out.size() bytes
  buffer_error,  // the data would not fit (zlib's Z_BUF_ERROR)
  data_error,    // the stream is damaged or incomplete (Z_DATA_ERROR)
  short_output,  // a sound stream that ends before out.size() bytes
  other_error,   // out of memory and the like
};

enum class Inflater { zlib, libdeflate };

// The faster of the two on pack entries (see bench/inflate_bench).
constexpr Inflater kPackInflater = Inflater::libdeflate;

InflateStatus inflate_zlib_stream(std::span<const uint8_t> in, std::span<uint8_t> out,
                                  Inflater which = kPackInflater);

}  // namespace nv::res
