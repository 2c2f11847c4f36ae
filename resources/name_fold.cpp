#include "resources/name_fold.h"

#include "formats/sjis_text.h"

namespace nv::res {

namespace {

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 0x20) : c; }

}  // namespace

std::string lower_ascii_sjis(std::string_view s) {
  std::string out(s);
  for (size_t i = 0; i < out.size(); ++i) {
    if (sjis::is_lead_byte(out[i])) {
      ++i;  // keep the trail byte
      continue;
    }
    out[i] = lower(out[i]);
  }
  return out;
}

bool equal_ignore_case_sjis(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
    if (sjis::is_lead_byte(a[i]) && i + 1 < a.size()) {
      ++i;
      if (a[i] != b[i]) return false;
    }
  }
  return true;
}

std::string slashes_to_backslashes(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c == '/') c = '\\';
  return out;
}

bool ends_with_ignore_case(std::string_view s, std::string_view suffix) {
  if (s.size() < suffix.size()) return false;
  std::string_view tail = s.substr(s.size() - suffix.size());
  // A suffix that starts inside a double-byte character is not a suffix.
  size_t start = s.size() - suffix.size();
  for (size_t i = 0; i < start; i = sjis::next_char(s, i))
    if (sjis::next_char(s, i) > start) return false;
  for (size_t i = 0; i < suffix.size(); ++i)
    if (lower(tail[i]) != lower(suffix[i])) return false;
  return true;
}

}  // namespace nv::res
