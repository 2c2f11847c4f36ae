// Message text lines: WORD and _ instructions, voices, RETURNCODE.
#include "formats/command_table.h"
#include "formats/expr_tokens.h"
#include "platform/encoding.h"
#include "tools/vizud/script_compiler_state.h"

namespace nv::vizud {

void ScriptCompiler::compile_text(std::string_view text, size_t base) {
  if (!need_command(c_word_, "WORD") || !need_command(c_underscore_, "_") ||
      !need_command(c_returncode_, "RETURNCODE"))
    return;
  if (!continuing_text_) {
    ++text_line_;
    // A voice number: "%12 text".
    int voice = 0;
    if (text.size() > 1 && text[0] == '%' && text[1] >= '0' && text[1] <= '9') {
      size_t k = 1;
      int64_t v = 0;
      while (k < text.size() && text[k] >= '0' && text[k] <= '9' && v < 0x7FFFFFFF) v = v * 10 + (text[k++] - '0');
      if (v > 0x7FFFFFFF) {
        err(base, k, "voice number is too large");
        return;
      }
      voice = static_cast<int>(v);
      while (k < text.size() && is_space(text[k])) ++k;
      text.remove_prefix(k);
      base += k;
    }
    // The RETURNCODE of the previous text line carries this line's voice.
    if (last_returncode_ >= 0) out_.code[static_cast<size_t>(last_returncode_)].args[0].size = static_cast<uint32_t>(voice);
    pending_voice_ = voice;
  }
  bool continues = false;
  // A trailing single-byte backslash joins the next line to this text line.
  size_t end = text.size();
  for (size_t p = 0; p < text.size(); p = sjis::next_char(text, p))
    if (p + 1 == text.size() && text[p] == '\\') {
      continues = true;
      end = p;
    }
  text = text.substr(0, end);

  std::string word;
  auto flush = [&]() {
    if (word.empty()) return;
    ArgRecord r;
    r.has_data = true;
    r.data.assign(word.begin(), word.end());
    word.clear();
    emit(c_word_, {std::move(r)});
  };
  for (size_t p = 0; p < text.size();) {
    char c = text[p];
    size_t len = sjis::char_length_at(text, p);
    if (len == 1 && c == '{' && p + 1 < text.size() && text[p + 1] == '{') {
      word += '{';
      p += 2;
      continue;
    }
    if (len == 1 && c == '}' && p + 1 < text.size() && text[p + 1] == '}') {
      word += '}';
      p += 2;
      continue;
    }
    if (len == 1 && c == '{') {
      // Find the closing brace outside text literals.
      size_t q = p + 1;
      char quote = 0;
      while (q < text.size()) {
        char d = text[q];
        size_t dl = sjis::char_length_at(text, q);
        if (dl == 2) { q += 2; continue; }
        if (quote) {
          if (d == '\\') { q += 2; continue; }
          if (d == quote) quote = 0;
        } else if (d == '"' || d == '\'') {
          quote = d;
        } else if (d == '}') {
          break;
        }
        ++q;
      }
      if (q >= text.size()) {
        err(base + p, text.size() - p, "\"{\" of an inserted value is not closed by \"}\"");
        return;
      }
      flush();
      // Lex and compile the inner expression against the whole line so that
      // columns stay right.
      std::string_view inner = text.substr(p + 1, q - p - 1);
      LexError le;
      std::vector<Token> toks;
      if (!lex_line(inner, toks, le)) {
        err(base + p + 1 + le.offset, 1, le.message);
        return;
      }
      for (Token& t : toks) t.offset += base + p + 1;
      substitute(toks);
      toks_.swap(toks);
      size_t pos = 0;
      int root = parse_expr(pos);
      if (root >= 0 && expect_end(pos)) {
        CompiledExpr e;
        if (expr_.compile(arena_, root, Want::kValue, e)) {
          note_label_uses();
          if (e.whole) err(base + p, q + 1 - p, "an array needs an index here");
          else if (e.type == VarType::kString && e.float_mode)
            err(base + p, q + 1 - p,
                "a text computed with float values would show them as integers here; insert the float "
                "value on its own, as {value}");
          else {
            ArgRecord r = expr_record(0, e);
            if (e.type == VarType::kString) r.selector = 3;
            emit(c_underscore_, {std::move(r)});
          }
        }
      }
      toks_.swap(toks);
      p = q + 1;
      continue;
    }
    word.append(text.substr(p, len));
    p += len;
  }
  flush();
  continuing_text_ = continues;
  if (!continues) finish_text_line();
}

void ScriptCompiler::finish_text_line() {
  continuing_text_ = false;
  ArgRecord r;
  uint32_t v = static_cast<uint32_t>(text_line_);
  r.keyword = static_cast<uint8_t>(v);
  r.unused = static_cast<uint8_t>(v >> 8);
  r.selector = static_cast<uint8_t>(v >> 16);
  r.assign = static_cast<uint8_t>(v >> 24);
  r.size = 0;  // the next text line's voice, filled in when it comes
  last_returncode_ = emit(c_returncode_, {r});
  out_.text_lines = text_line_;
}

}  // namespace nv::vizud
