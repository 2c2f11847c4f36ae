#include "data/csv_split.h"

#include <algorithm>
#include <array>

namespace nv::csv {

namespace {

constexpr std::string_view kRowMarker = "\r";

constexpr bool is_lead(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
constexpr bool is_trail(uint8_t b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

// Bytes that need a decision; every other byte is plain field text.
enum Class : uint8_t { kPlain, kBlank, kSpecial };
constexpr auto kClasses = [] {
  std::array<uint8_t, 256> t{};
  for (int b = 0; b < 256; ++b) {
    auto c = static_cast<uint8_t>(b);
    if (c == ' ' || c == '\t') t[b] = kBlank;
    else if (c == '\r' || c == '\n' || c == ',' || c == '"' || c == '\'' || is_lead(c)) t[b] = kSpecial;
  }
  return t;
}();

// One pass over the text; with kStore the first `max_elements` elements are
// kept in out.elements, else only counted.
template <bool kStore>
void scan(std::string_view text, size_t max_elements, Split& out) {
  auto emit = [&](std::string_view element) {
    if (kStore && out.elements.size() < max_elements) out.elements.push_back(element);
    ++out.count;
  };

  const auto* s = reinterpret_cast<const uint8_t*>(text.data());
  const size_t n = text.size();
  constexpr size_t kNone = SIZE_MAX;
  size_t start = kNone;  // first byte of the current field, or none yet
  bool in_double = false, in_single = false;
  bool line_stored = false;  // the current line has stored an element

  auto field = [&](size_t end) { return start == kNone ? std::string_view() : text.substr(start, end - start); };
  auto end_line = [&](size_t end) {
    if (start != kNone || line_stored) {
      emit(field(end));
      emit(kRowMarker);
    }
    start = kNone;
    in_double = in_single = false;
    line_stored = false;
  };

  for (size_t i = 0; i < n; ++i) {
    // Inside a field, runs of plain text and blanks need no decision.
    if (start != kNone)
      while (i < n && kClasses[s[i]] != kSpecial) ++i;
    if (i == n) break;
    uint8_t c = s[i];
    if (c == '\r' || c == '\n') {
      end_line(i);
      if (c == '\r' && i + 1 < n && s[i + 1] == '\n') ++i;
      continue;
    }
    if (c == ',' && !in_double && !in_single) {
      emit(field(i));
      line_stored = true;
      start = kNone;
      continue;
    }
    if (start == kNone) {
      if (c == ' ' || c == '\t') continue;
      start = i;
    }
    if (is_lead(c)) {
      if (i + 1 < n && is_trail(s[i + 1])) ++i;
    } else if (c == '"' && !in_single) {
      in_double = !in_double;
    } else if (c == '\'' && !in_double) {
      in_single = !in_single;
    }
  }
  end_line(n);
}

}  // namespace

Split split(std::string_view text, size_t max_elements) {
  // Counting first costs less than growing the list of a large file.
  Split out;
  scan<false>(text, 0, out);
  if (max_elements == 0) return out;
  out.elements.reserve(std::min(out.count, max_elements));
  out.count = 0;
  scan<true>(text, max_elements, out);
  return out;
}

}  // namespace nv::csv
