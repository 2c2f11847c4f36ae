#include "graphics/gif_lzw.h"

#include <array>

namespace nv::gfx {

size_t lzw_decode(std::span<const uint8_t> codes, int min_code_size, std::span<uint8_t> out) {
  if (min_code_size < 1 || min_code_size > 11 || out.empty()) return 0;
  constexpr int kMaxCodes = 4096;
  std::array<uint16_t, kMaxCodes> prefix{};
  std::array<uint8_t, kMaxCodes> suffix{};
  std::array<uint8_t, kMaxCodes> first{};  // first index of each entry's string
  std::array<uint8_t, kMaxCodes> stack{};
  const int clear = 1 << min_code_size, end = clear + 1;
  for (int i = 0; i < clear; ++i) {
    suffix[size_t(i)] = uint8_t(i);
    first[size_t(i)] = uint8_t(i);
  }
  int width = min_code_size + 1;
  int next = end + 1;
  int previous = -1;
  uint32_t bits = 0;
  int bit_count = 0;
  size_t pos = 0, written = 0;
  for (;;) {
    while (bit_count < width) {
      if (pos >= codes.size()) return written;
      bits |= uint32_t(codes[pos++]) << bit_count;
      bit_count += 8;
    }
    const int code = int(bits & ((1u << width) - 1));
    bits >>= width;
    bit_count -= width;
    if (code == clear) {
      width = min_code_size + 1;
      next = end + 1;
      previous = -1;
      continue;
    }
    if (code == end) return written;
    if (previous < 0) {
      if (code >= clear) return written;  // the first code must be a literal
      out[written++] = uint8_t(code);
      if (written == out.size()) return written;
      previous = code;
      continue;
    }
    if (code > next || (code == next && next >= kMaxCodes)) return written;
    // Unwind the string of `code` (or, for the entry being defined, the
    // previous string plus its own first index).
    size_t depth = 0;
    int c = code;
    if (code == next) {
      stack[depth++] = first[size_t(previous)];
      c = previous;
    }
    while (c >= clear) {
      stack[depth++] = suffix[size_t(c)];
      c = prefix[size_t(c)];
    }
    stack[depth++] = uint8_t(c);
    const uint8_t head = uint8_t(c);
    while (depth > 0) {
      out[written++] = stack[--depth];
      if (written == out.size()) return written;
    }
    if (next < kMaxCodes) {
      prefix[size_t(next)] = uint16_t(previous);
      suffix[size_t(next)] = head;
      first[size_t(next)] = first[size_t(previous)];
      ++next;
      if (next == (1 << width) && width < 12) ++width;
    }
    previous = code;
  }
}

}  // namespace nv::gfx
