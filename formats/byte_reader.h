// Little-endian reads of the engine's files, for the engine's loaders and
// the tools alike. Every read from an untrusted block goes through
// ByteReader, so no count, offset or size in a file can make a reader read
// outside its buffer; the load_* helpers are for bytes already checked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>

namespace nv {

class ByteReader {
 public:
  explicit ByteReader(std::span<const uint8_t> block, size_t pos = 0) : b_(block), pos_(pos) {}

  size_t pos() const { return pos_; }
  size_t size() const { return b_.size(); }
  size_t remaining() const { return pos_ <= b_.size() ? b_.size() - pos_ : 0; }
  bool ok() const { return ok_; }  // false once any read ran past the end
  bool has(size_t n) const { return ok_ && pos_ <= b_.size() && b_.size() - pos_ >= n; }

  uint8_t u8() { return static_cast<uint8_t>(take(1)); }
  uint16_t u16() { return static_cast<uint16_t>(take(2)); }
  uint32_t u32() { return static_cast<uint32_t>(take(4)); }
  int32_t i32() { return static_cast<int32_t>(u32()); }
  uint64_t u64() { return take(8); }

  // `n` raw bytes; empty (and the reader failed) when they are not all there.
  std::span<const uint8_t> bytes(size_t n) {
    if (!has(n)) {
      ok_ = false;
      return {};
    }
    auto s = b_.subspan(pos_, n);
    pos_ += n;
    return s;
  }
  std::string_view text(size_t n) {
    auto s = bytes(n);
    return {reinterpret_cast<const char*>(s.data()), s.size()};
  }
  // A NUL-terminated text; the terminator is consumed, not returned.
  std::string_view c_text() {
    if (!ok_ || pos_ >= b_.size()) {
      ok_ = false;
      return {};
    }
    const void* nul = std::memchr(b_.data() + pos_, 0, b_.size() - pos_);
    if (!nul) {
      ok_ = false;
      return {};
    }
    size_t len = static_cast<size_t>(static_cast<const uint8_t*>(nul) - (b_.data() + pos_));
    std::string_view s(reinterpret_cast<const char*>(b_.data() + pos_), len);
    pos_ += len + 1;
    return s;
  }

 private:
  uint64_t take(size_t n) {
    if (!has(n)) {
      ok_ = false;
      return 0;
    }
    uint64_t v = 0;
    for (size_t k = 0; k < n; ++k) v |= uint64_t(b_[pos_ + k]) << (8 * k);
    pos_ += n;
    return v;
  }

  std::span<const uint8_t> b_;
  size_t pos_;
  bool ok_ = true;
};

// Little-endian loads from memory that the caller has already bounds-checked.
inline uint16_t load_u16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t load_u32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline uint32_t load_u32(std::span<const uint8_t> b, size_t at) { return load_u32(b.data() + at); }
inline void store_u16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void store_u32(uint8_t* p, uint32_t v) {
  for (int k = 0; k < 4; ++k) p[k] = static_cast<uint8_t>(v >> (8 * k));
}

}  // namespace nv
