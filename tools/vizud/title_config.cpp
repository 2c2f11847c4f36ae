#include "tools/vizud/title_config.h"

#include <cctype>
#include <cstdlib>

#include "platform/encoding.h"

namespace nv::vizud {

namespace {

std::string trim(std::string_view s) {
  size_t a = 0, b = s.size();
  while (a < b && (s[a] == ' ' || s[a] == '\t')) ++a;
  while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t')) --b;
  return std::string(s.substr(a, b - a));
}

bool parse_int(const std::string& v, int& out) {
  if (v.empty()) return false;
  char* end = nullptr;
  long x = std::strtol(v.c_str(), &end, 10);
  if (*end != 0 || x < INT32_MIN || x > INT32_MAX) return false;
  out = static_cast<int>(x);
  return true;
}

// "png, bmp, jpg" -> codes; every listed name once, at most `N`.
template <size_t N>
bool parse_order(const std::string& v, const std::vector<std::string>& names, std::array<uint8_t, N>& out) {
  std::array<uint8_t, N> r{};
  size_t count = 0, start = 0;
  while (start <= v.size()) {
    size_t comma = v.find(',', start);
    if (comma == std::string::npos) comma = v.size();
    std::string item = trim(std::string_view(v).substr(start, comma - start));
    for (char& c : item) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (!item.empty() && item[0] == '.') item.erase(0, 1);
    if (item.empty()) return false;
    uint8_t code = 0;
    for (size_t i = 0; i < names.size(); ++i)
      if (names[i] == item) code = static_cast<uint8_t>(i + 1);
    if (code == 0 || count == N) return false;
    for (size_t i = 0; i < count; ++i)
      if (r[i] == code) return false;
    r[count++] = code;
    start = comma + 1;
  }
  out = r;
  return true;
}

}  // namespace

bool parse_title_config(const std::vector<std::string>& lines, const std::string& file, TitleConfig& out,
                        Diagnostics& diag) {
  bool ok = true;
  for (size_t n = 0; n < lines.size(); ++n) {
    const std::string& raw = lines[n];
    std::string line = trim(raw);
    if (line.empty() || line[0] == '#' || line[0] == ';') continue;
    size_t key_at = raw.find_first_not_of(" \t");
    SourcePos pos{static_cast<int>(n + 1), static_cast<int>(key_at + 1)};
    size_t eq = line.find('=');
    if (eq == std::string::npos) {
      diag.error(file, pos, "\"key = value\" expected: " + quote_sjis(line));
      ok = false;
      continue;
    }
    std::string key = trim(std::string_view(line).substr(0, eq));
    std::string value = trim(std::string_view(line).substr(eq + 1));
    size_t raw_eq = raw.find('=');
    size_t value_at = raw.find_first_not_of(" \t", raw_eq + 1);
    SourcePos value_pos{pos.line, static_cast<int>((value_at == std::string::npos ? raw.size() : value_at) + 1)};
    auto bad = [&](const std::string& what) {
      diag.error(file, value_pos, key + " " + what + ": " + quote_sjis(value));
      ok = false;
    };
    auto flag = [&](int& field) {
      int v;
      if (!parse_int(value, v) || (v != 0 && v != 1)) bad("must be 0 or 1");
      else field = v;
    };
    if (key == "width" || key == "height") {
      int v;
      if (!parse_int(value, v)) bad("must be a number");
      else (key == "width" ? out.width : out.height) = v;
    } else if (key == "caption") {
      if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
      if (value.size() > 128) bad("is longer than 128 bytes in Shift-JIS");
      else out.caption = value;
    } else if (key == "shown") flag(out.shown);
    else if (key == "script_thread") flag(out.script_thread);
    else if (key == "debug") flag(out.debug);
    else if (key == "sound") flag(out.sound);
    else if (key == "resizable") flag(out.resizable);
    else if (key == "frame") {
      int v;
      if (!parse_int(value, v)) bad("must be a number");
      else out.frame = v;
    } else if (key == "image_order") {
      if (!parse_order(value, {"png", "bmp", "jpg", "gif"}, out.image_order))
        bad("must list png, bmp, jpg, gif (each at most once)");
    } else if (key == "sound_order") {
      if (!parse_order(value, {"ogg", "wav"}, out.sound_order)) bad("must list ogg, wav (each at most once)");
    } else {
      diag.error(file, pos, "unknown setting " + quote_sjis(key));
      ok = false;
    }
  }
  bool desktop = out.width == 0 && out.height == 0;
  if (!desktop && (out.width < 128 || out.width > 2048 || out.height < 16 || out.height > 2048)) {
    diag.error(file, {}, "screen size " + std::to_string(out.width) + "x" + std::to_string(out.height) +
                             " is outside 128x16 to 2048x2048 (0x0 means the desktop size)");
    ok = false;
  }
  return ok;
}

}  // namespace nv::vizud
