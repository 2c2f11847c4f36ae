// Shift-JIS (code page 932) text as the engine counts it: a double-byte
// character (lead byte 0x81-0x9F or 0xE0-0xFC) is one character, and no
// routine here splits one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace nv::sjis {

constexpr bool is_lead_byte(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
constexpr bool is_lead_byte(char c) { return is_lead_byte(static_cast<uint8_t>(c)); }

// Byte length of the character that starts at `pos`: 2 for a lead byte with
// a byte after it, else 1 (a lead byte at the very end counts alone).
inline size_t char_length_at(std::string_view s, size_t pos) {
  return (pos + 1 < s.size() && is_lead_byte(s[pos])) ? 2 : 1;
}

// Byte position of the character after the one at `pos` (never past the end).
inline size_t next_char(std::string_view s, size_t pos) {
  if (pos >= s.size()) return s.size();
  return pos + char_length_at(s, pos);
}

// Number of characters in `s`.
size_t char_count(std::string_view s);

// Byte offset of character number `index` (0-based); the byte size when the
// text has fewer characters.
size_t byte_offset_of_char(std::string_view s, size_t index);

// The longest prefix of `s` that fits in `max_bytes` without splitting a
// double-byte character.
std::string_view prefix_fitting(std::string_view s, size_t max_bytes);

// `count` characters starting at character `first` (clipped to the text).
std::string_view char_substr(std::string_view s, size_t first, size_t count);

}  // namespace nv::sjis
