#include "tools/vizud/script_compiler.h"

#include "formats/command_table.h"
#include "formats/expr_tokens.h"
#include "platform/encoding.h"
#include "tools/vizud/script_compiler_state.h"

namespace nv::vizud {

void ScriptCompiler::err(size_t offset, size_t length, const std::string& msg) {
  if (quiet_) return;
  std::string m = msg;
  if (length > 0 && offset < line_.size()) m += ": " + quote_sjis(line_.substr(offset, length));
  ctx_.diag.error(cur_->display_name, SourcePos{static_cast<int>(line_no_), column_of(line_, offset)}, m);
}

bool ScriptCompiler::lex() {
  LexError e;
  if (lex_line(line_, toks_, e)) {
    substitute(toks_);
    return true;
  }
  err(e.offset, 1, e.message);
  return false;
}

int ScriptCompiler::parse_expr(size_t& pos) {
  ParseError pe;
  ExprParser p(toks_, pos, arena_);
  int root = p.parse(pe);
  if (root < 0) err(pe.offset, toks_[pos].kind == Tok::kEnd ? 0 : toks_[pos].length, pe.message);
  return root;
}

bool ScriptCompiler::expect_end(size_t pos) {
  if (toks_[pos].kind == Tok::kEnd) return true;
  err(toks_[pos].offset, line_.size() - toks_[pos].offset, "unexpected text at the end of the statement");
  return false;
}

int ScriptCompiler::emit(int command, std::vector<ArgRecord> args) {
  Instruction in;
  in.command = static_cast<uint8_t>(command);
  in.args = std::move(args);
  in.line = include_stack_.empty() ? static_cast<int32_t>(line_no_) : include_line_;
  out_.code.push_back(std::move(in));
  return static_cast<int>(out_.code.size()) - 1;
}

ArgRecord ScriptCompiler::expr_record(uint8_t keyword, const CompiledExpr& e, uint8_t assign) {
  ArgRecord r;
  r.keyword = keyword;
  r.selector = e.selector();
  r.assign = assign;
  r.has_data = true;
  r.data = e.tokens.bytes();
  return r;
}

bool ScriptCompiler::need_command(int number, const char* name) {
  if (number >= 0) return true;
  err_line(std::string("the command table has no ") + name + " command");
  return false;
}

void ScriptCompiler::note_label_uses() {
  for (const LabelRef& r : expr_.label_refs())
    ctx_.label_uses.push_back(
        LabelUse{r.name, cur_->display_name, SourcePos{static_cast<int>(line_no_), column_of(line_, r.offset)}});
  expr_.label_refs().clear();
}

bool ScriptCompiler::begin_line(size_t n) {
  line_no_ = n + 1;
  std::string_view raw = cur_->lines[n];
  size_t i = 0;
  while (i < raw.size() && is_space(raw[i])) ++i;
  line_ = raw;
  arena_.clear();
  if (i == raw.size()) {
    if (continuing_text_) finish_text_line();
    return false;
  }
  return true;
}

CompiledScript ScriptCompiler::run(std::string list_name) {
  out_.name = std::move(list_name);
  compile_lines();
  line_no_ = src_.lines.size();
  line_ = {};
  if (continuing_text_) finish_text_line();
  for (const Block& b : blocks_)
    ctx_.diag.error(src_.display_name, b.pos,
                    b.is_if ? "IF is not closed by IFEND" : "LOOP is not closed by LOOPEND");
  // Running past the last line ends the title instead of running off the code.
  if (need_command(c_end_, "END")) emit(c_end_);
  return std::move(out_);
}

void ScriptCompiler::compile_lines() {
  for (size_t n = 0; n < cur_->lines.size() && !ctx_.diag.full(); ++n) {
    if (!begin_line(n)) continue;
    statement_or_text();
  }
}

void ScriptCompiler::run_globals() {
  for (size_t n = 0; n < cur_->lines.size() && !ctx_.diag.full(); ++n) {
    if (!begin_line(n)) continue;
    size_t i = 0;
    while (is_space(line_[i])) ++i;
    std::string_view w = first_word(line_.substr(i));
    VarType t = w == "G_INT" ? VarType::kInt : w == "G_FLT" ? VarType::kFloat : w == "G_STR" ? VarType::kString
                                                                                            : VarType::kNone;
    if (w == "KEYNAME" || w == "INCLUDE" || w == "DEFINE" || w == "UNDEF") {
      // INCLUDE, DEFINE and UNDEF run again in the second pass, which reports their errors.
      quiet_ = w != "KEYNAME";
      bool lexed = lex();
      quiet_ = false;
      if (!lexed) continue;
      quiet_ = w != "KEYNAME";
      if (w == "KEYNAME") compile_keyname(1);
      else if (w == "INCLUDE") compile_include(1, true);
      else compile_define(1, w == "DEFINE");
      quiet_ = false;
      continue;
    }
    if (t == VarType::kNone || !lex()) continue;
    compile_declaration(1, t, Scope::kGlobal);
  }
}


void ScriptCompiler::statement_or_text() {
  size_t i = 0;
  while (is_space(line_[i])) ++i;
  std::string_view s = line_.substr(i);
  if (s.substr(0, 2) == "//") return;
  if (s[0] == '*' && is_ident_start(s, 1)) {
    compile_label();
    return;
  }
  if (s[0] == '\\') {
    compile_text(s.substr(1), i + 1);
    return;
  }
  std::string_view w = first_word(s);
  if (w.empty()) {
    compile_text(s, i);
    return;
  }
  std::string word(w);
  // Language words that are not commands.
  if (word == "ELSEIF") {
    if (lex()) compile_if(1, true);
    return;
  }
  int number = cmds_.find(word);
  if (number >= 0) {
    if (!lex()) return;
    if (number == c_if_) compile_if(1, false);
    else if (number == c_else_) compile_else(1);
    else if (number == c_ifend_) compile_ifend(1);
    else if (number == c_loop_) compile_loop(1);
    else if (number == c_loopend_) compile_loopend(1);
    else if (number == c_let_) compile_let(1);
    else if (word == "INT") compile_declaration(1, VarType::kInt, Scope::kLocal);
    else if (word == "FLT") compile_declaration(1, VarType::kFloat, Scope::kLocal);
    else if (word == "STR") compile_declaration(1, VarType::kString, Scope::kLocal);
    else if (word == "S_INT") compile_declaration(1, VarType::kInt, Scope::kScript);
    else if (word == "S_FLT") compile_declaration(1, VarType::kFloat, Scope::kScript);
    else if (word == "S_STR") compile_declaration(1, VarType::kString, Scope::kScript);
    else if (word == "G_INT" || word == "G_FLT" || word == "G_STR" || word == "KEYNAME") return;  // first pass
    else if (word == "INCLUDE") compile_include(1, false);
    else if (word == "DEFINE") compile_define(1, true);
    else if (word == "UNDEF") compile_define(1, false);
    else if (word == "PRODUCT") compile_product(1);
    else compile_command(number, 1);
    return;
  }
  // An assignment starts with a variable followed by an assignment operator.
  const VarInfo* v = ctx_.symbols.find(script_, word);
  size_t after = i + w.size();
  while (after < line_.size() && is_space(line_[after])) ++after;
  bool looks_assign = false, looks_index = after < line_.size() && line_[after] == '[';
  if (after < line_.size()) {
    std::string_view rest = line_.substr(after);
    for (std::string_view op : {"+=", "-=", "*=", "/=", "%=", "&=", "|=", "^="})
      if (rest.substr(0, 2) == op) looks_assign = true;
    if (rest[0] == '=' && rest.substr(0, 2) != "==") looks_assign = true;
  }
  if (v && (looks_assign || looks_index)) {
    if (lex()) compile_let(0);
    return;
  }
  if (is_ascii_upper_name(w) && looks_index) {
    err(i, w.size(), "unknown command");
    return;
  }
  if (!v && looks_assign && is_ascii_upper_name(w) == false && static_cast<uint8_t>(w[0]) < 0x80) {
    err(i, w.size(), "unknown variable (write \\ first to make the line message text)");
    return;
  }
  compile_text(s, i);
}

void ScriptCompiler::compile_label() {
  size_t i = 0;
  while (is_space(line_[i])) ++i;
  size_t start = i + 1, end = start;
  while (is_ident_char(line_, end)) end = sjis::next_char(line_, end);
  size_t rest = end;
  while (rest < line_.size() && is_space(line_[rest])) ++rest;
  if (rest < line_.size() && line_.substr(rest, 2) != "//") {
    err(rest, line_.size() - rest, "a label line holds only the label (write \\ first to make the line message text)");
    return;
  }
  std::string name(line_.substr(start, end - start));
  if (name.size() > 255) {
    err(i, end - i, "label name is longer than 255 bytes");
    return;
  }
  if (!need_command(c_label_, "LABEL")) return;
  std::vector<ArgRecord> args;
  ArgRecord r;
  r.keyword = 0;
  r.selector = 3;
  r.has_data = true;
  writers::Expr label_text;
  put_string_constant(label_text, name);
  r.data = label_text.bytes();
  args.push_back(std::move(r));
  int index = emit(c_label_, std::move(args));
  LabelDef d;
  d.name = std::move(name);
  d.script = script_;
  d.index = index;
  d.if_depth = static_cast<uint8_t>(if_depth_);
  d.loop_depth = static_cast<uint8_t>(loop_depth_);
  d.file = cur_->display_name;
  d.pos = SourcePos{static_cast<int>(line_no_), column_of(line_, i)};
  ctx_.labels.push_back(std::move(d));
}

void declare_globals(const SourceFile& src, int script, ProjectContext& ctx) {
  ScriptCompiler c(src, script, ctx);
  c.run_globals();
}

CompiledScript compile_script(const SourceFile& src, int script, std::string list_name, ProjectContext& ctx) {
  ScriptCompiler c(src, script, ctx);
  return c.run(std::move(list_name));
}

}  // namespace nv::vizud
