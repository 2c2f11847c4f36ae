#include "tools/vizud/source_file.h"

#include <fstream>
#include <iterator>

#include "formats/sjis_text.h"
#include "platform/encoding.h"

namespace nv::vizud {

bool is_valid_utf8(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    auto b = static_cast<uint8_t>(s[i]);
    if (b < 0x80) { ++i; continue; }
    size_t n;
    uint32_t cp;
    if (b >= 0xC2 && b <= 0xDF) { n = 1; cp = b & 0x1F; }
    else if (b >= 0xE0 && b <= 0xEF) { n = 2; cp = b & 0x0F; }
    else if (b >= 0xF0 && b <= 0xF4) { n = 3; cp = b & 0x07; }
    else return false;
    if (i + n >= s.size()) return false;
    for (size_t k = 1; k <= n; ++k) {
      auto c = static_cast<uint8_t>(s[i + k]);
      if ((c & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (c & 0x3F);
    }
    if ((n == 2 && cp < 0x800) || (n == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    i += n + 1;
  }
  return true;
}

namespace {

std::vector<std::string_view> split_lines(std::string_view text) {
  std::vector<std::string_view> out;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') {
      size_t end = (i > start && text[i - 1] == '\r') ? i - 1 : i;
      out.push_back(text.substr(start, end - start));
      start = i + 1;
    }
  }
  if (start < text.size()) {
    std::string_view last = text.substr(start);
    if (!last.empty() && last.back() == '\r') last.remove_suffix(1);
    out.push_back(last);
  }
  return out;
}

// Length in bytes of the UTF-8 character starting with `b` (valid input).
size_t utf8_length(uint8_t b) {
  if (b < 0x80) return 1;
  if (b < 0xE0) return 2;
  if (b < 0xF0) return 3;
  return 4;
}

}  // namespace

SourceFile decode_source(std::string display_name, std::string_view bytes, Diagnostics& diag) {
  SourceFile out;
  out.display_name = std::move(display_name);
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  out.was_utf8 = is_valid_utf8(bytes);
  auto raw_lines = split_lines(bytes);
  out.lines.reserve(raw_lines.size());
  for (size_t n = 0; n < raw_lines.size(); ++n) {
    std::string_view raw = raw_lines[n];
    if (!out.was_utf8) {
      out.lines.emplace_back(raw);
      continue;
    }
    bool lossless = true;
    std::string sjis = platform::utf8_to_sjis(raw, &lossless);
    if (!lossless) {
      // Find the first character that does not convert, for the message.
      int column = 1;
      for (size_t i = 0; i < raw.size(); ++column) {
        size_t len = utf8_length(static_cast<uint8_t>(raw[i]));
        bool ok = true;
        platform::utf8_to_sjis(raw.substr(i, len), &ok);
        if (!ok) {
          diag.error(out.display_name, SourcePos{static_cast<int>(n + 1), column},
                     "character \"" + std::string(raw.substr(i, len)) + "\" has no Shift-JIS form");
          break;
        }
        i += len;
      }
    }
    out.lines.push_back(std::move(sjis));
  }
  return out;
}

bool read_source(const std::filesystem::path& path, std::string display_name, SourceFile& out,
                 Diagnostics& diag) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    diag.error(display_name, {}, "cannot read the file");
    return false;
  }
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  out = decode_source(std::move(display_name), bytes, diag);
  return true;
}

int column_of(std::string_view line, size_t byte) {
  if (byte > line.size()) byte = line.size();
  return static_cast<int>(sjis::char_count(line.substr(0, byte))) + 1;
}

}  // namespace nv::vizud
