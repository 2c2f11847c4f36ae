// Tokens of one statement line (Shift-JIS bytes). Text lines are not lexed;
// the statement reader decides which lines are statements.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nv::vizud {

enum class Tok : uint8_t {
  kIdent,   // name: ASCII letters, digits, '_' and double-byte characters
  kInt,     // integer literal (decimal or 0x hexadecimal)
  kFloat,   // literal with '.' or an exponent
  kString,  // "..." or '...', escapes decoded
  kPunct,   // operators and brackets, `text` holds the spelling
  kEnd,
};

struct Token {
  Tok kind = Tok::kEnd;
  std::string text;       // identifier, decoded string, punctuation
  int64_t int_value = 0;
  double float_value = 0;
  size_t offset = 0;      // byte offset in the line
  size_t length = 0;      // byte length of the token's spelling
};

struct LexError {
  size_t offset = 0;
  std::string message;  // UTF-8
};

// Splits `line` into tokens ending with a kEnd token; "//" outside a string
// starts a comment. Returns false with `error` set on a malformed token.
bool lex_line(std::string_view line, std::vector<Token>& out, LexError& error);

bool is_ident_start(std::string_view s, size_t pos);
bool is_ident_char(std::string_view s, size_t pos);

}  // namespace nv::vizud
