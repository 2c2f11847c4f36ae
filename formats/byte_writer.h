// Little-endian byte output: the writers of every engine file build their
// bytes with it.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

namespace nv {

using Bytes = std::vector<uint8_t>;

class ByteWriter {
 public:
  void u8(uint8_t v) { out_.push_back(v); }
  void u16(uint16_t v) { le(v, 2); }
  void u32(uint32_t v) { le(v, 4); }
  void i32(int32_t v) { le(static_cast<uint32_t>(v), 4); }
  void u64(uint64_t v) { le(v, 8); }
  void i64(int64_t v) { le(static_cast<uint64_t>(v), 8); }
  void f64(double v) { le(std::bit_cast<uint64_t>(v), 8); }
  void bytes(std::span<const uint8_t> b) { out_.insert(out_.end(), b.begin(), b.end()); }
  void text(std::string_view s) { out_.insert(out_.end(), s.begin(), s.end()); }
  // Text followed by a NUL.
  void cstr(std::string_view s) {
    text(s);
    u8(0);
  }
  void zeros(size_t n) { out_.insert(out_.end(), n, 0); }
  // The four magic letters of an engine file.
  void magic(const char (&m)[5]) { text(std::string_view(m, 4)); }

  size_t size() const { return out_.size(); }
  // Overwrites a uint32 written earlier.
  void patch_u32(size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out_[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
  }
  Bytes& data() { return out_; }
  Bytes take() { return std::move(out_); }

 private:
  void le(uint64_t v, int n) {
    for (int i = 0; i < n; ++i) out_.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }
  Bytes out_;
};

}  // namespace nv
