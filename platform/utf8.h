// Decoding UTF-8 one character at a time, for the platform code that reads
// host texts without a conversion library (file names, UI text).
#pragma once

#include <cstddef>
#include <string_view>

namespace nv::platform {

// Decodes the character at byte `i` of `s` into `cp` and moves `i` past it.
// A byte that does not start a well-formed sequence (a stray continuation,
// an overlong or out-of-range lead, a sequence cut short or broken) moves
// `i` by one byte and gives false.
inline bool next_utf8(std::string_view s, size_t& i, char32_t& cp) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = byte(i);
  if (c < 0x80) {
    ++i;
    cp = c;
    return true;
  }
  const size_t len = c >= 0xF0 && c < 0xF5 ? 4 : c >= 0xE0 && c < 0xF0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
  if (len == 0 || i + len > s.size()) {
    ++i;
    return false;
  }
  char32_t v = c & (0x7F >> len);
  for (size_t k = 1; k < len; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) {
      ++i;
      return false;
    }
    v = (v << 6) | (byte(i + k) & 0x3F);
  }
  i += len;
  cp = v;
  return true;
}

}  // namespace nv::platform
