#include "tools/vizud/lexer.h"

#include <cerrno>
#include <cstdlib>

#include "formats/sjis_text.h"
#include "platform/encoding.h"

namespace nv::vizud {

bool is_ident_start(std::string_view s, size_t pos) {
  if (pos >= s.size()) return false;
  char c = s[pos];
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
         (sjis::is_lead_byte(c) && pos + 1 < s.size());
}

bool is_ident_char(std::string_view s, size_t pos) {
  return is_ident_start(s, pos) || (pos < s.size() && s[pos] >= '0' && s[pos] <= '9');
}

namespace {

constexpr std::string_view kPunct2[] = {"+=", "-=", "*=", "/=", "%=", "&=", "|=", "^=", "==",
                                        "!=", "<=", ">=", "&&", "||", "<>"};
constexpr std::string_view kPunct1 = "[](),=+-*/%&|^!~<>#:";

size_t scan_ident(std::string_view s, size_t pos) {
  while (is_ident_char(s, pos)) pos = sjis::next_char(s, pos);
  return pos;
}

bool lex_number(std::string_view s, size_t& pos, Token& t, LexError& err) {
  size_t start = pos;
  if (s[pos] == '0' && pos + 1 < s.size() && (s[pos + 1] == 'x' || s[pos + 1] == 'X')) {
    pos += 2;
    uint64_t v = 0;
    size_t digits = 0;
    while (pos < s.size() && std::isxdigit(static_cast<unsigned char>(s[pos]))) {
      if (v >> 60) {
        err = {start, "hexadecimal number is too large for 64 bits"};
        return false;
      }
      char c = s[pos];
      int d = (c <= '9') ? c - '0' : (c | 0x20) - 'a' + 10;
      v = (v << 4) | static_cast<uint64_t>(d);
      ++pos;
      ++digits;
    }
    if (digits == 0) {
      err = {start, "hexadecimal number has no digits"};
      return false;
    }
    t.kind = Tok::kInt;
    t.int_value = static_cast<int64_t>(v);
  } else {
    bool is_float = false;
    while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') ++pos;
    if (pos + 1 < s.size() && s[pos] == '.' && s[pos + 1] >= '0' && s[pos + 1] <= '9') {
      is_float = true;
      ++pos;
      while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') ++pos;
    }
    if (pos < s.size() && (s[pos] == 'e' || s[pos] == 'E')) {
      size_t p = pos + 1;
      if (p < s.size() && (s[p] == '+' || s[p] == '-')) ++p;
      if (p < s.size() && s[p] >= '0' && s[p] <= '9') {
        is_float = true;
        pos = p;
        while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') ++pos;
      }
    }
    std::string spelled(s.substr(start, pos - start));
    errno = 0;
    if (is_float) {
      t.kind = Tok::kFloat;
      t.float_value = std::strtod(spelled.c_str(), nullptr);
    } else {
      t.kind = Tok::kInt;
      uint64_t v = std::strtoull(spelled.c_str(), nullptr, 10);
      // 9223372036854775808 is allowed so that its negation is INT64_MIN.
      if (errno == ERANGE || v > 9223372036854775808ull) {
        err = {start, "number is too large for 64 bits"};
        return false;
      }
      t.int_value = static_cast<int64_t>(v);
    }
  }
  if (is_ident_start(s, pos)) {
    err = {start, "malformed number"};
    return false;
  }
  return true;
}

bool lex_string(std::string_view s, size_t& pos, Token& t, LexError& err) {
  char quote = s[pos];
  size_t start = pos++;
  std::string text;
  for (;;) {
    if (pos >= s.size()) {
      err = {start, "text literal is not closed"};
      return false;
    }
    char c = s[pos];
    if (sjis::is_lead_byte(c) && pos + 1 < s.size()) {
      text.append(s.substr(pos, 2));
      pos += 2;
      continue;
    }
    if (c == quote) {
      ++pos;
      break;
    }
    if (c == '\\' && pos + 1 < s.size()) {
      char e = s[pos + 1];
      switch (e) {
        case 'n': text += '\n'; break;
        case 't': text += '\t'; break;
        case '\\': text += '\\'; break;
        case '"': text += '"'; break;
        case '\'': text += '\''; break;
        default:
          err = {pos, std::string("unknown escape \\") + e + " in a text literal"};
          return false;
      }
      pos += 2;
      continue;
    }
    text += c;
    ++pos;
  }
  t.kind = Tok::kString;
  t.text = std::move(text);
  (void)start;
  return true;
}

}  // namespace

bool lex_line(std::string_view s, std::vector<Token>& out, LexError& err) {
  out.clear();
  size_t pos = 0;
  while (true) {
    while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t')) ++pos;
    if (pos >= s.size() || (s[pos] == '/' && pos + 1 < s.size() && s[pos + 1] == '/')) break;
    Token t;
    t.offset = pos;
    char c = s[pos];
    if (is_ident_start(s, pos)) {
      size_t end = scan_ident(s, pos);
      t.kind = Tok::kIdent;
      t.text = std::string(s.substr(pos, end - pos));
      pos = end;
    } else if (c >= '0' && c <= '9') {
      if (!lex_number(s, pos, t, err)) return false;
    } else if (c == '.' && pos + 1 < s.size() && s[pos + 1] >= '0' && s[pos + 1] <= '9') {
      if (!lex_number(s, pos, t, err)) return false;
    } else if (c == '"' || c == '\'') {
      if (!lex_string(s, pos, t, err)) return false;
    } else {
      bool matched = false;
      for (auto p : kPunct2) {
        if (s.substr(pos, 2) == p) {
          t.kind = Tok::kPunct;
          t.text = std::string(p);
          pos += 2;
          matched = true;
          break;
        }
      }
      if (!matched) {
        if (kPunct1.find(c) == std::string_view::npos) {
          size_t len = sjis::char_length_at(s, pos);
          err = {pos, "unexpected character \"" + platform::sjis_to_utf8(s.substr(pos, len)) + "\""};
          return false;
        }
        t.kind = Tok::kPunct;
        t.text = std::string(1, c);
        ++pos;
      }
    }
    t.length = pos - t.offset;
    out.push_back(std::move(t));
  }
  Token end;
  end.kind = Tok::kEnd;
  end.offset = pos;
  out.push_back(end);
  return true;
}

}  // namespace nv::vizud
