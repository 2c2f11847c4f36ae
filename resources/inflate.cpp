#include "resources/inflate.h"

#include <libdeflate.h>
#include <zlib.h>

#include <limits>

namespace nv::res {

namespace {

InflateStatus with_zlib(std::span<const uint8_t> in, std::span<uint8_t> out) {
  if (in.size() > std::numeric_limits<uLong>::max() || out.size() > std::numeric_limits<uLongf>::max())
    return InflateStatus::other_error;
  // A zero-sized destination still needs a valid pointer for zlib.
  Bytef dummy = 0;
  uLongf out_len = static_cast<uLongf>(out.size());
  int rc = ::uncompress(out.empty() ? &dummy : out.data(), &out_len, in.data(), static_cast<uLong>(in.size()));
  switch (rc) {
    case Z_OK: return out_len == out.size() ? InflateStatus::ok : InflateStatus::short_output;
    case Z_BUF_ERROR: return InflateStatus::buffer_error;
    case Z_DATA_ERROR: return InflateStatus::data_error;
    default: return InflateStatus::other_error;
  }
}

InflateStatus with_libdeflate(std::span<const uint8_t> in, std::span<uint8_t> out) {
  libdeflate_decompressor* d = libdeflate_alloc_decompressor();
  if (!d) return InflateStatus::other_error;
  uint8_t dummy = 0;
  libdeflate_result rc =
      libdeflate_zlib_decompress(d, in.data(), in.size(), out.empty() ? &dummy : out.data(), out.size(), nullptr);
  libdeflate_free_decompressor(d);
  switch (rc) {
    case LIBDEFLATE_SUCCESS: return InflateStatus::ok;
    case LIBDEFLATE_SHORT_OUTPUT: return InflateStatus::short_output;
    case LIBDEFLATE_INSUFFICIENT_SPACE: return InflateStatus::buffer_error;
    case LIBDEFLATE_BAD_DATA: return InflateStatus::data_error;
  }
  return InflateStatus::other_error;
}

}  // namespace

InflateStatus inflate_zlib_stream(std::span<const uint8_t> in, std::span<uint8_t> out, Inflater which) {
  return which == Inflater::zlib ? with_zlib(in, out) : with_libdeflate(in, out);
}

}  // namespace nv::res
