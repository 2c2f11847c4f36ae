#include "formats/sjis_text.h"

namespace nv::sjis {

size_t char_count(std::string_view s) {
  size_t n = 0;
  for (size_t pos = 0; pos < s.size(); pos = next_char(s, pos)) ++n;
  return n;
}

size_t byte_offset_of_char(std::string_view s, size_t index) {
  size_t pos = 0;
  while (index > 0 && pos < s.size()) {
    pos = next_char(s, pos);
    --index;
  }
  return pos;
}

std::string_view prefix_fitting(std::string_view s, size_t max_bytes) {
  size_t pos = 0;
  while (pos < s.size()) {
    size_t next = next_char(s, pos);
    if (next > max_bytes) break;
    pos = next;
  }
  return s.substr(0, pos);
}

std::string_view char_substr(std::string_view s, size_t first, size_t count) {
  size_t begin = byte_offset_of_char(s, first);
  size_t end = begin;
  while (count > 0 && end < s.size()) {
    end = next_char(s, end);
    --count;
  }
  return s.substr(begin, end - begin);
}

}  // namespace nv::sjis
