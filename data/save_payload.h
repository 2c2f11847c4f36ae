// The uncompressed payloads of save records, written from plain values and
// read back with every size checked against the payload before use.
//
//   variable   0 u32 type (1 integer, 2 float, 3 text) | 4 u32 dimension count d
//              | 8 u32 x d sizes | 8+4d u32 data size D | 12+4d D bytes:
//              int64 or double values, or per text u32 length n and n bytes.
//              One element is stored with d = 0 (as is a whole scalar).
//   image      0 u32 992 | 4 u32 width x 4 x height | 8 992-byte layer block
//              (i32 width @600, i32 height @604, "NVLY" @608, alpha flag @612)
//              | 1000 pixels, 4 bytes each, rows top-down.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

#include "data/save_format.h"
#include "formats/byte_reader.h"

namespace nv::save {

// Encoders fill `out` with the payload of `dims` (empty for one element) and
// its values, and return kOk; kErrArrayTooLarge when the data part would be
// above kMaxVariableData, so that nothing is saved that a load refuses;
// kErrDataError when the values do not match the shape.
uint32_t encode_integers(std::span<const int32_t> dims, std::span<const int64_t> values, std::vector<uint8_t>& out);
uint32_t encode_floats(std::span<const int32_t> dims, std::span<const double> values, std::vector<uint8_t>& out);
// Texts are read through `text_at(k)` for k in [0, count): any callable that
// returns something convertible to std::string_view.
template <typename TextAt>
uint32_t encode_texts(std::span<const int32_t> dims, size_t count, TextAt&& text_at, std::vector<uint8_t>& out);

// A checked variable payload; `data` and `texts` point into the payload.
struct VariablePayload {
  uint32_t type = 0;
  uint32_t dim_count = 0;
  std::array<int32_t, kMaxDims> dims{};
  size_t count = 0;                     // elements: 1 for d = 0
  std::span<const uint8_t> data;        // the D bytes
  std::vector<std::string_view> texts;  // type 3: one per element

  std::span<const int32_t> shape() const { return {dims.data(), dim_count}; }
  int64_t integer_at(size_t k) const;  // type 1, k < count
  double float_at(size_t k) const;     // type 2, k < count
};

// Checks a variable payload whole: type 1 to 3, at most 8 dimensions of 1 or
// more with at most 4,000,000 elements, D at most kMaxVariableData and equal
// to what the elements take, the payload exactly 12 + 4d + D bytes, every
// text inside D. Returns kOk, kErrArrayTooLarge or kErrDataError.
uint32_t decode_variable_payload(std::span<const uint8_t> payload, VariablePayload& out);

struct ImageInfo {
  int32_t width = 0;
  int32_t height = 0;
  bool alpha = false;  // the pixels carry meaningful alpha
};

// `pixels` holds width x 4 x height bytes. kErrImageData when the size is
// outside 1..8192 on either side or the pixels do not match it.
uint32_t encode_image(const ImageInfo& info, std::span<const uint8_t> pixels, std::vector<uint8_t>& out);

struct ImagePayload {
  ImageInfo info;
  std::span<const uint8_t> pixels;
};

// Checks an image payload: the head 992, the pixel size width x 4 x height
// with both sides in 1..8192, the payload exactly 1000 bytes more.
// Returns kOk or kErrImageData.
uint32_t decode_image_payload(std::span<const uint8_t> payload, ImagePayload& out);

// ---- implementation of the template ----

namespace detail {
// Writes the head of a variable payload (type, d, sizes, D) and returns the
// element count, or 0 (with `error` set) when the shape is invalid.
size_t begin_variable_payload(uint32_t type, std::span<const int32_t> dims, uint64_t data_size,
                              std::vector<uint8_t>& out, uint32_t& error);
}  // namespace detail

template <typename TextAt>
uint32_t encode_texts(std::span<const int32_t> dims, size_t count, TextAt&& text_at, std::vector<uint8_t>& out) {
  uint64_t data_size = 0;
  for (size_t k = 0; k < count; ++k) {
    data_size += 4 + std::string_view(text_at(k)).size();
    if (data_size > kMaxVariableData) return kErrArrayTooLarge;
  }
  uint32_t error = kOk;
  size_t n = detail::begin_variable_payload(kText, dims, data_size, out, error);
  if (error != kOk) return error;
  if (n != count) return kErrDataError;
  size_t pos = out.size();
  out.resize(pos + data_size);
  uint8_t* p = out.data() + pos;
  for (size_t k = 0; k < count; ++k) {
    std::string_view s(text_at(k));
    store_u32(p, static_cast<uint32_t>(s.size()));
    if (!s.empty()) std::memcpy(p + 4, s.data(), s.size());
    p += 4 + s.size();
  }
  return kOk;
}

}  // namespace nv::save
