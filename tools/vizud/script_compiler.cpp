#include "tools/vizud/script_compiler.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

#include "formats/expr_tokens.h"
#include "formats/sjis_text.h"
#include "platform/encoding.h"
#include "formats/command_table.h"
#include "tools/vizud/expr_compiler.h"
#include "tools/vizud/expr_parser.h"
#include "tools/vizud/lexer.h"

namespace nv::vizud {

namespace {

constexpr int kMaxNesting = 63;  // the run time's stacks hold 64 levels
constexpr size_t kMaxArgs = 95;
constexpr int kParamCount = 10;


bool is_space(char c) { return c == ' ' || c == '\t'; }

std::string_view first_word(std::string_view s) {
  size_t e = 0;
  while (is_ident_char(s, e)) e = sjis::next_char(s, e);
  return s.substr(0, e);
}

bool is_ascii_upper_name(std::string_view w) {
  if (w.empty()) return false;
  for (char c : w)
    if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_')) return false;
  return true;
}

std::optional<uint8_t> assign_code(const std::string& op) {
  static constexpr std::string_view kOps[] = {"=", "+=", "-=", "*=", "/=", "%=", "&=", "|=", "^="};
  for (uint8_t i = 0; i < 9; ++i)
    if (op == kOps[i]) return i;
  return std::nullopt;
}

// Mutable state for compiling one script.
class Compiler {
 public:
  Compiler(const SourceFile& src, int script, ProjectContext& ctx)
      : src_(src), cur_(&src), script_(script), ctx_(ctx), cmds_(ctx.commands),
        expr_(ctx.symbols, script, [this](size_t off, size_t len, const std::string& m) { err(off, len, m); }) {
    out_.display = src.display_name;
    out_.source_lines = static_cast<int>(src.lines.size());
    c_if_ = cmds_.find("IF");
    c_else_ = cmds_.find("ELSE");
    c_ifblend_ = cmds_.find("IFBLEND");
    c_ifend_ = cmds_.find("IFEND");
    c_loop_ = cmds_.find("LOOP");
    c_loopend_ = cmds_.find("LOOPEND");
    c_label_ = cmds_.find("LABEL");
    c_let_ = cmds_.find("LET");
    c_word_ = cmds_.find("WORD");
    c_underscore_ = cmds_.find("_");
    c_returncode_ = cmds_.find("RETURNCODE");
    c_end_ = cmds_.find("END");
    c_go_ = cmds_.find("GO");
    c_gosub_ = cmds_.find("GOSUB");
    c_return_ = cmds_.find("RETURN");
  }

  void run_globals();
  CompiledScript run(std::string list_name);

 private:
  struct RawArg {
    std::string name;
    int root = -1;
    size_t first = 0, end = 0;  // token range of the value
  };
  void compile_lines();
  bool parse_directive(size_t pos, std::vector<RawArg>& out);
  static const RawArg* directive_arg(const std::vector<RawArg>& args, const char* name);
  bool constant_text(const RawArg* a, std::string& out);
  bool constant_int(const RawArg* a, int64_t& out);
  void compile_keyname(size_t pos);
  void compile_include(size_t pos, bool globals_pass);
  void compile_define(size_t pos, bool define);
  void compile_product(size_t pos);
  void substitute(std::vector<Token>& toks);

  struct Block {
    bool is_if = true;
    int index = 0;           // the IF or LOOP instruction
    int pending_else = -1;   // instruction whose record 1 waits for the next ELSE
    bool plain_else = false;
    SourcePos pos;
  };

  // Messages.
  void err(size_t offset, size_t length, const std::string& msg);
  void err_line(const std::string& msg) { err(0, line_.size(), msg); }

  bool begin_line(size_t n);
  void statement_or_text();
  bool lex();
  int parse_expr(size_t& pos);
  bool expect_end(size_t pos);

  int emit(int command, std::vector<ArgRecord> args = {});
  ArgRecord expr_record(uint8_t keyword, const CompiledExpr& e, uint8_t assign = 0);
  bool need_command(int number, const char* name);

  void compile_label();
  void compile_text(std::string_view text, size_t base);
  void finish_text_line();
  void compile_if(size_t pos, bool is_elseif);
  void compile_else(size_t pos);
  void compile_ifend(size_t pos);
  void compile_loop(size_t pos);
  void compile_loopend(size_t pos);
  void compile_declaration(size_t pos, VarType type, Scope scope);
  void compile_let(size_t pos);
  void compile_command(int number, size_t pos);
  bool parse_arguments(int number, size_t& pos, std::vector<ArgRecord>& args, std::vector<int>& given);
  void lower_parameters(int number, std::vector<ArgRecord>& args, const std::vector<int>& given,
                        int first_int, int first_flt, int first_str, size_t name_len);
  void check_break_level(int number, const std::vector<ArgRecord>& args, size_t pos);
  void note_label_uses();

  const SourceFile& src_;
  const SourceFile* cur_;  // the file being read: the script or an included file
  int script_;
  ProjectContext& ctx_;
  const CommandTable& cmds_;
  ExprCompiler expr_;
  CompiledScript out_;

  size_t line_no_ = 0;
  std::string_view line_;
  std::vector<Token> toks_;
  ExprArena arena_;
  std::vector<Block> blocks_;
  int if_depth_ = 0;
  int loop_depth_ = 0;

  std::vector<const SourceFile*> include_stack_;
  int32_t include_line_ = 0;
  std::unordered_map<std::string, std::vector<Token>> defines_;

  bool quiet_ = false;  // messages off (the second pass repeats the statement)
  int text_line_ = 0;
  int last_returncode_ = -1;
  bool continuing_text_ = false;
  int pending_voice_ = 0;

  int c_if_, c_else_, c_ifblend_, c_ifend_, c_loop_, c_loopend_, c_label_, c_let_, c_word_,
      c_underscore_, c_returncode_, c_end_, c_go_, c_gosub_, c_return_;
};

void Compiler::err(size_t offset, size_t length, const std::string& msg) {
  if (quiet_) return;
  std::string m = msg;
  if (length > 0 && offset < line_.size()) m += ": " + quote_sjis(line_.substr(offset, length));
  ctx_.diag.error(cur_->display_name, SourcePos{static_cast<int>(line_no_), column_of(line_, offset)}, m);
}

bool Compiler::lex() {
  LexError e;
  if (lex_line(line_, toks_, e)) {
    substitute(toks_);
    return true;
  }
  err(e.offset, 1, e.message);
  return false;
}

int Compiler::parse_expr(size_t& pos) {
  ParseError pe;
  ExprParser p(toks_, pos, arena_);
  int root = p.parse(pe);
  if (root < 0) err(pe.offset, toks_[pos].kind == Tok::kEnd ? 0 : toks_[pos].length, pe.message);
  return root;
}

bool Compiler::expect_end(size_t pos) {
  if (toks_[pos].kind == Tok::kEnd) return true;
  err(toks_[pos].offset, line_.size() - toks_[pos].offset, "unexpected text at the end of the statement");
  return false;
}

int Compiler::emit(int command, std::vector<ArgRecord> args) {
  Instruction in;
  in.command = static_cast<uint8_t>(command);
  in.args = std::move(args);
  in.line = include_stack_.empty() ? static_cast<int32_t>(line_no_) : include_line_;
  out_.code.push_back(std::move(in));
  return static_cast<int>(out_.code.size()) - 1;
}

ArgRecord Compiler::expr_record(uint8_t keyword, const CompiledExpr& e, uint8_t assign) {
  ArgRecord r;
  r.keyword = keyword;
  r.selector = e.selector();
  r.assign = assign;
  r.has_data = true;
  r.data = e.tokens.bytes();
  return r;
}

bool Compiler::need_command(int number, const char* name) {
  if (number >= 0) return true;
  err_line(std::string("the command table has no ") + name + " command");
  return false;
}

void Compiler::note_label_uses() {
  for (const LabelRef& r : expr_.label_refs())
    ctx_.label_uses.push_back(
        LabelUse{r.name, cur_->display_name, SourcePos{static_cast<int>(line_no_), column_of(line_, r.offset)}});
  expr_.label_refs().clear();
}

// ---- lines -------------------------------------------------------------

bool Compiler::begin_line(size_t n) {
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

CompiledScript Compiler::run(std::string list_name) {
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

void Compiler::compile_lines() {
  for (size_t n = 0; n < cur_->lines.size() && !ctx_.diag.full(); ++n) {
    if (!begin_line(n)) continue;
    statement_or_text();
  }
}

void Compiler::run_globals() {
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

// ---- compiler directives -------------------------------------------------

bool Compiler::parse_directive(size_t pos, std::vector<RawArg>& out) {
  const Token& name = toks_[0];
  if (!(toks_[pos].kind == Tok::kPunct && toks_[pos].text == "[")) {
    err(name.offset, name.length, name.text + " needs its arguments in [...]");
    return false;
  }
  ++pos;
  int number = cmds_.find(name.text);
  for (;;) {
    const Token& key = toks_[pos];
    if (key.kind == Tok::kPunct && key.text == "]") {
      ++pos;
      break;
    }
    if (key.kind == Tok::kPunct && key.text == ",") {
      ++pos;
      continue;
    }
    if (key.kind != Tok::kIdent || toks_[pos + 1].kind != Tok::kPunct || toks_[pos + 1].text != "=") {
      err(key.offset, key.length, key.kind == Tok::kEnd ? "\"]\" expected" : "KEYWORD=value expected");
      return false;
    }
    if (cmds_.keyword(number, key.text) < 0) {
      err(key.offset, key.length, "unknown keyword of " + name.text);
      return false;
    }
    for (const RawArg& a : out)
      if (a.name == key.text) {
        err(key.offset, key.length, "keyword given twice");
        return false;
      }
    pos += 2;
    RawArg a;
    a.name = key.text;
    a.first = pos;
    a.root = parse_expr(pos);
    if (a.root < 0) return false;
    a.end = pos;
    out.push_back(std::move(a));
  }
  return expect_end(pos);
}

const Compiler::RawArg* Compiler::directive_arg(const std::vector<RawArg>& args, const char* name) {
  for (const RawArg& a : args)
    if (a.name == name) return &a;
  return nullptr;
}

bool Compiler::constant_text(const RawArg* a, std::string& out) {
  if (!a) return false;
  const Node& n = arena_[a->root];
  if (n.kind != NodeKind::kString) {
    err(n.offset, n.length, a->name + " must be a text literal");
    return false;
  }
  out = n.text;
  return true;
}

bool Compiler::constant_int(const RawArg* a, int64_t& out) {
  if (!a) return false;
  const Node& n = arena_[a->root];
  if (n.kind == NodeKind::kInt) out = n.int_value;
  else if (n.kind == NodeKind::kUnary && n.op == "-" && arena_[n.first].kind == NodeKind::kInt)
    out = -arena_[n.first].int_value;
  else {
    err(n.offset, n.length, a->name + " must be an integer literal");
    return false;
  }
  return true;
}

void Compiler::compile_keyname(size_t pos) {
  std::vector<RawArg> args;
  if (!parse_directive(pos, args)) return;
  std::string name;
  int64_t no = 0;
  if (!directive_arg(args, "NAME") || !directive_arg(args, "NO")) {
    err_line("KEYNAME needs NAME and NO");
    return;
  }
  if (!constant_text(directive_arg(args, "NAME"), name) || !constant_int(directive_arg(args, "NO"), no)) return;
  bool ok_name = !name.empty();
  for (size_t k = 0; k < name.size(); ++k) ok_name = ok_name && is_ident_char(name, k);
  if (!ok_name) {
    err_line("KEYNAME NAME must be a name (letters, digits, _)");
    return;
  }
  if (no < 0 || no > 127) {
    err_line("KEYNAME NO must be an engine key number 0 to 127");
    return;
  }
  int k = static_cast<int>(no);
  for (auto [prefix, base] : {std::pair<const char*, int>{"KEY_", 93}, {"KEY2_", 227}, {"VKEY_", 361}})
    if (!ctx_.symbols.alias(prefix + name, base + k)) {
      err_line(std::string("the name ") + prefix + platform::sjis_to_utf8(name) + " is already taken");
      return;
    }
}

void Compiler::compile_include(size_t pos, bool globals_pass) {
  std::vector<RawArg> args;
  if (!parse_directive(pos, args)) return;
  std::string file;
  if (!directive_arg(args, "FILE")) {
    err_line("INCLUDE needs FILE");
    return;
  }
  if (!constant_text(directive_arg(args, "FILE"), file)) return;
  std::string key = platform::sjis_to_utf8(file);
  std::replace(key.begin(), key.end(), '\\', '/');
  while (key.rfind("./", 0) == 0) key.erase(0, 2);
  auto it = ctx_.includes.find(key);
  if (it == ctx_.includes.end()) {
    err(arena_[directive_arg(args, "FILE")->root].offset, arena_[directive_arg(args, "FILE")->root].length,
        std::string("no include file of that name (include files end in .nvi)"));
    return;
  }
  for (const SourceFile* f : include_stack_)
    if (f == &it->second) {
      err_line("INCLUDE of a file that is being included already");
      return;
    }
  if (include_stack_.size() >= 16) {
    err_line("INCLUDE nested more than 16 deep");
    return;
  }
  if (globals_pass && !ctx_.included_globals.insert(key).second) return;  // declared once
  // Instructions from the included file carry the line of the INCLUDE.
  size_t saved_line = line_no_;
  std::string_view saved_text = line_;
  if (include_stack_.empty()) include_line_ = static_cast<int32_t>(line_no_);
  include_stack_.push_back(cur_);
  cur_ = &it->second;
  bool was_quiet = quiet_;
  quiet_ = false;
  if (globals_pass) run_globals();
  else compile_lines();
  quiet_ = was_quiet;
  cur_ = include_stack_.back();
  include_stack_.pop_back();
  line_no_ = saved_line;
  line_ = saved_text;
  arena_.clear();
}

void Compiler::compile_define(size_t pos, bool define) {
  std::vector<RawArg> args;
  if (!parse_directive(pos, args)) return;
  std::string name;
  if (!constant_text(directive_arg(args, "NAME"), name)) {
    if (!directive_arg(args, "NAME")) err_line(toks_[0].text + " needs NAME");
    return;
  }
  if (!define) {
    defines_.erase(name);
    return;
  }
  const RawArg* set = directive_arg(args, "SET");
  if (!set) {
    err_line("DEFINE needs SET, the text that replaces the name");
    return;
  }
  // The name stands for the value's tokens, in parentheses so that it keeps
  // its meaning inside any expression.
  std::vector<Token> body;
  Token open;
  open.kind = Tok::kPunct;
  open.text = "(";
  body.push_back(open);
  for (size_t k = set->first; k < set->end; ++k) body.push_back(toks_[k]);
  Token close = open;
  close.text = ")";
  body.push_back(close);
  defines_[name] = std::move(body);
}

void Compiler::substitute(std::vector<Token>& toks) {
  if (defines_.empty()) return;
  std::vector<Token> out;
  bool changed = false;
  for (const Token& t : toks) {
    auto it = t.kind == Tok::kIdent ? defines_.find(t.text) : defines_.end();
    if (it == defines_.end()) {
      out.push_back(t);
      continue;
    }
    changed = true;
    for (Token b : it->second) {
      b.offset = t.offset;  // messages point at the name
      b.length = t.length;
      out.push_back(std::move(b));
    }
  }
  if (changed) toks.swap(out);
}

void Compiler::compile_product(size_t pos) {
  std::vector<RawArg> args;
  if (!parse_directive(pos, args)) return;
  if (ctx_.product_seen) {
    err(toks_[0].offset, toks_[0].length, "PRODUCT is given more than once in the title");
    return;
  }
  ctx_.product_seen = true;
  TitleConfig& c = ctx_.config;
  int number = cmds_.find("PRODUCT");
  for (const RawArg& a : args) {
    if (a.name == "CAPTION") {
      std::string caption;
      if (!constant_text(&a, caption)) continue;
      if (caption.size() > 128) err_line("PRODUCT CAPTION is longer than 128 bytes");
      else c.caption = caption;
      continue;
    }
    int64_t v;
    if (!constant_int(&a, v)) continue;
    const auto& kd = cmds_.command(number).keywords[static_cast<size_t>(cmds_.keyword(number, a.name))];
    auto range = check::kRanges[kd.check < check::kCount ? kd.check : 0];
    if (v < range.lo || v > range.hi) {
      err(arena_[a.root].offset, arena_[a.root].length,
          "PRODUCT " + a.name + " takes values " + std::to_string(range.lo) + " to " + std::to_string(range.hi));
      continue;
    }
    int iv = static_cast<int>(v);
    const std::string& k = a.name;
    if (k == "SX") c.width = iv;
    else if (k == "SY") c.height = iv;
    else if (k == "E") c.shown = iv;
    else if (k == "CGEXT") c.image_order[0] = static_cast<uint8_t>(iv);
    else if (k == "CGEXT2") c.image_order[1] = static_cast<uint8_t>(iv);
    else if (k == "CGEXT3") c.image_order[2] = static_cast<uint8_t>(iv);
    else if (k == "CGEXT4") c.image_order[3] = static_cast<uint8_t>(iv);
    else if (k == "SOUNDEXT") c.sound_order[0] = static_cast<uint8_t>(iv);
    else if (k == "SOUNDEXT2") c.sound_order[1] = static_cast<uint8_t>(iv);
    else if (k == "THREAD") c.script_thread = iv;
    else if (k == "DEBUG") c.debug = iv;
    else if (k == "SOUND") c.sound = iv;
    else if (k == "RESIZE") c.resizable = iv;
    else if (k == "FRAME") c.frame = iv;
  }
}

void Compiler::statement_or_text() {
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

void Compiler::compile_label() {
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

// ---- message text ------------------------------------------------------

void Compiler::compile_text(std::string_view text, size_t base) {
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

void Compiler::finish_text_line() {
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

// ---- control flow ------------------------------------------------------

void Compiler::compile_if(size_t pos, bool is_elseif) {
  const Token& kwtok = toks_[0];
  // IF cond, or IF[cond] as the engine's messages write it.
  bool bracket = toks_[pos].kind == Tok::kPunct && toks_[pos].text == "[";
  if (bracket) ++pos;
  int root = parse_expr(pos);
  if (root < 0) return;
  if (bracket) {
    if (!(toks_[pos].kind == Tok::kPunct && toks_[pos].text == "]")) {
      err(toks_[pos].offset, toks_[pos].length, "\"]\" expected after the condition");
      return;
    }
    ++pos;
  }
  if (!expect_end(pos)) return;
  CompiledExpr cond;
  if (!expr_.compile(arena_, root, Want::kNumber, cond)) return;
  note_label_uses();
  // The engine reads a condition as an integer, which truncates a float
  // (0.5 would be false): a float condition is compared with 0 first.
  const Node& rn = arena_[root];
  bool is_truth = (rn.kind == NodeKind::kBinary && (binary_precedence(rn.op) == 6 || binary_precedence(rn.op) == 7 ||
                                                    rn.op == "&&" || rn.op == "||")) ||
                  (rn.kind == NodeKind::kUnary && rn.op == "!");
  if (cond.float_mode && !is_truth) {
    put_int_constant(cond.tokens, 0);
    put_op(cond.tokens, expr::kNotEqual);
  }
  if (is_elseif) {
    if (blocks_.empty() || !blocks_.back().is_if) {
      err(kwtok.offset, kwtok.length, "ELSEIF without IF");
      return;
    }
    Block& b = blocks_.back();
    if (b.plain_else) {
      err(kwtok.offset, kwtok.length, "ELSEIF after ELSE");
      return;
    }
    emit(c_ifblend_);
    ArgRecord next;  // target of the next ELSE, or 0
    int idx = emit(c_else_, {expr_record(0, cond), next});
    out_.code[static_cast<size_t>(b.pending_else)].args[1].size = static_cast<uint32_t>(idx);
    b.pending_else = idx;
    return;
  }
  if (if_depth_ >= kMaxNesting) {
    err(kwtok.offset, kwtok.length, "IF is nested more than 63 deep");
    return;
  }
  ArgRecord else_target, end_target;
  int idx = emit(c_if_, {expr_record(0, cond), else_target, end_target});
  blocks_.push_back(Block{true, idx, idx, false, SourcePos{static_cast<int>(line_no_), column_of(line_, kwtok.offset)}});
  ++if_depth_;
}

void Compiler::compile_else(size_t pos) {
  const Token& kwtok = toks_[0];
  // "ELSE IF cond" is the same as "ELSEIF cond".
  if (toks_[pos].kind == Tok::kIdent && toks_[pos].text == "IF") {
    compile_if(pos + 1, true);
    return;
  }
  if (!expect_end(pos)) return;
  if (blocks_.empty() || !blocks_.back().is_if) {
    err(kwtok.offset, kwtok.length, "ELSE without IF");
    return;
  }
  Block& b = blocks_.back();
  if (b.plain_else) {
    err(kwtok.offset, kwtok.length, "second ELSE in one IF");
    return;
  }
  emit(c_ifblend_);
  int idx = emit(c_else_);
  out_.code[static_cast<size_t>(b.pending_else)].args[1].size = static_cast<uint32_t>(idx);
  b.pending_else = -1;
  b.plain_else = true;
}

void Compiler::compile_ifend(size_t pos) {
  const Token& kwtok = toks_[0];
  if (!expect_end(pos)) return;
  if (blocks_.empty() || !blocks_.back().is_if) {
    err(kwtok.offset, kwtok.length,
        blocks_.empty() ? "IFEND without IF"
                        : "IFEND inside the LOOP opened at line " + std::to_string(blocks_.back().pos.line) +
                              "; close it with LOOPEND first");
    return;
  }
  int idx = emit(c_ifend_);
  out_.code[static_cast<size_t>(blocks_.back().index)].args[2].size = static_cast<uint32_t>(idx);
  blocks_.pop_back();
  --if_depth_;
}

void Compiler::compile_loop(size_t pos) {
  const Token& kwtok = toks_[0];
  if (loop_depth_ >= kMaxNesting) {
    err(kwtok.offset, kwtok.length, "LOOP is nested more than 63 deep");
    return;
  }
  CompiledExpr count;
  bool bracket = toks_[pos].kind == Tok::kPunct && toks_[pos].text == "[";
  if (toks_[pos].kind == Tok::kEnd) {
    put_int_constant(count.tokens, -1);  // LOOP alone repeats until LOOPBREAK
    count.type = VarType::kInt;
  } else {
    if (bracket) {
      ++pos;
      if (!(toks_[pos].kind == Tok::kIdent && toks_[pos].text == "SET" && toks_[pos + 1].text == "=")) {
        err(toks_[pos].offset, toks_[pos].length, "LOOP takes only SET=count");
        return;
      }
      pos += 2;
    }
    int root = parse_expr(pos);
    if (root < 0) return;
    if (bracket) {
      if (!(toks_[pos].kind == Tok::kPunct && toks_[pos].text == "]")) {
        err(toks_[pos].offset, toks_[pos].length, "\"]\" expected");
        return;
      }
      ++pos;
    }
    if (!expect_end(pos)) return;
    if (!expr_.compile(arena_, root, Want::kNumber, count)) return;
    note_label_uses();
  }
  int set = std::max(0, cmds_.keyword(c_loop_, "SET"));
  ArgRecord end_target;
  end_target.keyword = static_cast<uint8_t>(set);
  int idx = emit(c_loop_, {expr_record(static_cast<uint8_t>(set), count), end_target});
  blocks_.push_back(Block{false, idx, -1, false, SourcePos{static_cast<int>(line_no_), column_of(line_, kwtok.offset)}});
  ++loop_depth_;
}

void Compiler::compile_loopend(size_t pos) {
  const Token& kwtok = toks_[0];
  if (!expect_end(pos)) return;
  if (blocks_.empty() || blocks_.back().is_if) {
    err(kwtok.offset, kwtok.length,
        blocks_.empty() ? "LOOPEND without LOOP"
                        : "LOOPEND inside the IF opened at line " + std::to_string(blocks_.back().pos.line) +
                              "; close it with IFEND first");
    return;
  }
  int idx = emit(c_loopend_);
  out_.code[static_cast<size_t>(blocks_.back().index)].args[1].size = static_cast<uint32_t>(idx);
  blocks_.pop_back();
  --loop_depth_;
}

// ---- variables ---------------------------------------------------------

void Compiler::compile_declaration(size_t pos, VarType type, Scope scope) {
  const char* cmd_name = type == VarType::kInt ? "INT" : type == VarType::kFloat ? "FLT" : "STR";
  int number_cmd = cmds_.find(cmd_name);
  if (scope == Scope::kLocal && !need_command(number_cmd, cmd_name)) return;
  for (;;) {
    const Token& name = toks_[pos];
    if (name.kind != Tok::kIdent) {
      err(name.offset, name.length, "variable name expected");
      return;
    }
    if (cmds_.find(name.text) >= 0 || name.text == "ELSEIF" || name.text == "str" || name.text == "int" ||
        name.text == "flt") {
      err(name.offset, name.length, "a variable cannot be named like a command or function");
      return;
    }
    ++pos;
    std::vector<int> sizes;
    while (toks_[pos].kind == Tok::kPunct && toks_[pos].text == "[") {
      ++pos;
      for (;;) {
        int s = parse_expr(pos);
        if (s < 0) return;
        sizes.push_back(s);
        if (toks_[pos].kind == Tok::kPunct && toks_[pos].text == ",") {
          ++pos;
          continue;
        }
        break;
      }
      if (!(toks_[pos].kind == Tok::kPunct && toks_[pos].text == "]")) {
        err(toks_[pos].offset, toks_[pos].length, "\"]\" expected after the array size");
        return;
      }
      ++pos;
    }
    if (sizes.size() > 8) {
      err(name.offset, toks_[pos].offset - name.offset, "an array has at most 8 dimensions");
      return;
    }
    int init = -1;
    if (toks_[pos].kind == Tok::kPunct && toks_[pos].text == "=") {
      ++pos;
      init = parse_expr(pos);
      if (init < 0) return;
    }
    VarInfo v;
    v.name = name.text;
    v.type = type;
    v.scope = scope;
    v.dims = static_cast<int>(sizes.size());
    v.script = scope == Scope::kGlobal ? -1 : script_;
    v.file = cur_->display_name;
    v.pos = SourcePos{static_cast<int>(line_no_), column_of(line_, name.offset)};
    bool ok = true;
    int64_t elements = 1;
    for (size_t k = 0; k < sizes.size(); ++k) {
      int64_t iv;
      double fv;
      bool is_float;
      const Node& sn = arena_[sizes[k]];
      {
        CompiledExpr probe;
        if (!expr_.compile(arena_, sizes[k], Want::kNumber, probe)) { ok = false; continue; }
        // Local sizes may be computed at run time; the rest must be constants.
        if (scope == Scope::kLocal && (probe.reads_variables || probe.float_mode)) continue;
        if (!expr_.eval_constant(arena_, sizes[k], iv, fv, is_float)) { ok = false; continue; }
        if (is_float) iv = static_cast<int64_t>(fv);
        if (iv <= 0) {
          err(sn.offset, sn.length, "array size must be at least 1");
          ok = false;
          continue;
        }
        elements = iv > kMaxElements ? kMaxElements + 1 : elements * iv;
        if (elements > kMaxElements) elements = kMaxElements + 1;
        v.sizes[k] = static_cast<int32_t>(std::min<int64_t>(iv, INT32_MAX));
      }
    }
    if (elements > kMaxElements) {
      err(name.offset, name.length, "array has more than 4000000 elements");
      ok = false;
    }
    if (!ok) return;

    if (scope == Scope::kLocal) {
      // The initial value and sizes are compiled before the name exists.
      CompiledExpr value;
      if (init >= 0) {
        if (!expr_.compile(arena_, init, type == VarType::kString ? Want::kString : Want::kIntValue, value)) return;
        if (value.whole) {
          err(arena_[init].offset, arena_[init].length, "an array cannot be an initial value");
          return;
        }
        if (type == VarType::kString && value.float_mode) {
          err(arena_[init].offset, arena_[init].length,
              "a text initial value cannot be computed with float values here");
          return;
        }
        note_label_uses();
      } else if (type == VarType::kString) {
        put_string_constant(value.tokens, "");
        value.type = VarType::kString;
      } else {
        put_int_constant(value.tokens, 0);
        value.type = VarType::kInt;
      }
      int number = ctx_.symbols.declare(v, ctx_.diag);
      if (number < 0) return;
      CompiledExpr target;
      if (!expr_.compile_declaration_target(number, arena_, sizes, target)) return;
      ArgRecord t = expr_record(0, target);
      t.selector = 1;
      ArgRecord val = expr_record(0, value);
      if (type == VarType::kString) val.selector = 3;
      emit(number_cmd, {std::move(t), std::move(val)});
    } else {
      if (init >= 0) {
        if (type == VarType::kString) {
          CompiledExpr value;
          if (!expr_.compile(arena_, init, Want::kString, value)) return;
          if (value.reads_variables || value.float_mode) {
            err(arena_[init].offset, arena_[init].length,
                "the initial text must be a constant without float values");
            return;
          }
          v.init_text_tokens = value.tokens;
        } else {
          int64_t iv;
          double fv;
          bool is_float;
          if (!expr_.eval_constant(arena_, init, iv, fv, is_float)) return;
          if (type == VarType::kInt && is_float) {
            err(arena_[init].offset, arena_[init].length, "an integer variable needs an integer initial value");
            return;
          }
          v.init_int = iv;
          v.init_float = is_float ? fv : static_cast<double>(iv);
        }
      } else if (type == VarType::kString) {
        put_string_constant(v.init_text_tokens, "");
      }
      ctx_.symbols.declare(v, ctx_.diag);
    }
    if (toks_[pos].kind == Tok::kPunct && toks_[pos].text == ",") {
      ++pos;
      continue;
    }
    expect_end(pos);
    return;
  }
}

void Compiler::compile_let(size_t pos) {
  if (!need_command(c_let_, "LET")) return;
  int target = parse_expr(pos);
  if (target < 0) return;
  const Token& optok = toks_[pos];
  std::optional<uint8_t> code;
  if (optok.kind == Tok::kPunct) code = assign_code(optok.text);
  if (!code) {
    err(optok.offset, optok.length, "assignment operator (=, +=, -=, *=, /=, %=, &=, |=, ^=) expected");
    return;
  }
  ++pos;
  int source = parse_expr(pos);
  if (source < 0 || !expect_end(pos)) return;
  CompiledExpr t;
  if (!expr_.compile(arena_, target, Want::kTarget, t)) return;
  if (t.whole) {
    err(arena_[target].offset, arena_[target].length, "an array cannot be assigned as a whole; give an index");
    return;
  }
  const VarInfo& v = ctx_.symbols.by_number(t.var_number);
  const Node& tn = arena_[target];
  if (v.scope == Scope::kSystem) {
    if (!v.assignable) {
      err(tn.offset, tn.length, "this system variable cannot be assigned");
      return;
    }
    if (*code != 0) {
      err(optok.offset, optok.length, "a system variable takes only a plain assignment (=)");
      return;
    }
  }
  if (v.type == VarType::kString && *code > 1) {
    err(optok.offset, optok.length, "a text variable takes only = and +=");
    return;
  }
  CompiledExpr s;
  if (!expr_.compile(arena_, source, v.type == VarType::kString ? Want::kString : Want::kIntValue, s)) return;
  if (s.whole) {
    err(arena_[source].offset, arena_[source].length, "an array needs an index here");
    return;
  }
  note_label_uses();
  ArgRecord tr = expr_record(0, t, *code);
  tr.selector = 1;
  emit(c_let_, {std::move(tr), expr_record(0, s)});
}

// ---- commands ----------------------------------------------------------

bool Compiler::parse_arguments(int number, size_t& pos, std::vector<ArgRecord>& args, std::vector<int>& given) {
  const auto& cmd = cmds_.command(number);
  bool ok = true;
  ++pos;  // '['
  for (;;) {
    const Token& key = toks_[pos];
    if (key.kind == Tok::kPunct && key.text == "]") {
      ++pos;
      return ok;
    }
    if (key.kind == Tok::kPunct && key.text == ",") {
      ++pos;
      continue;
    }
    if (key.kind == Tok::kEnd) {
      err(key.offset, 0, "\"]\" expected at the end of the arguments");
      return false;
    }
    std::string keyname;
    if (key.kind == Tok::kIdent) keyname = key.text;
    else if (key.kind == Tok::kPunct && key.text == "#") keyname = "#";
    else {
      err(key.offset, key.length, "keyword expected");
      return false;
    }
    ++pos;
    int k = cmds_.keyword(number, keyname);
    const Token& optok = toks_[pos];
    std::optional<uint8_t> code;
    if (optok.kind == Tok::kPunct) code = assign_code(optok.text);
    if (!code || *code > 4) {
      err(optok.offset, optok.length, "\"=\" (or +=, -=, *=, /=) expected after the keyword");
      return false;
    }
    ++pos;
    int root = parse_expr(pos);
    if (root < 0) return false;
    if (k < 0) {
      err(key.offset, key.length, "unknown keyword of " + cmd.name);
      ok = false;
      continue;
    }
    if (given[static_cast<size_t>(k)] >= 0) {
      err(key.offset, key.length, "keyword given twice");
      ok = false;
      continue;
    }
    const auto& kd = cmd.keywords[static_cast<size_t>(k)];
    Want want = kd.type == argtype::INT ? Want::kInt : kd.type == argtype::STR ? Want::kString : Want::kValue;
    CompiledExpr e;
    if (!expr_.compile(arena_, root, want, e)) {
      ok = false;
      continue;
    }
    note_label_uses();
    const Node& rn = arena_[root];
    if (kd.type == argtype::STR && number == c_gosub_ && e.float_mode) {
      err(rn.offset, rn.length, "GOSUB computes text parameters in integers: pass the float as PFLT");
      ok = false;
      continue;
    }
    if (kd.type == argtype::STR && *code != 0) {
      err(optok.offset, optok.length, "a text keyword takes only =");
      ok = false;
      continue;
    }
    if (kd.type == argtype::EXPR) {
      bool label = keyname == "#";
      if (label && e.type != VarType::kString) {
        err(rn.offset, rn.length, "a label name must be a text, e.g. *name or \"name\"");
        ok = false;
        continue;
      }
      if (!label && e.type == VarType::kString) {
        err(rn.offset, rn.length, "this keyword takes a number, not a text");
        ok = false;
        continue;
      }
    }
    // Constant values are checked against the keyword's range now.
    if (kd.type == argtype::INT && *code == 0 && kd.check != check::NONE && kd.check != check::SCREEN_X &&
        kd.check != check::SCREEN_Y && kd.check < check::kCount &&
        (rn.kind == NodeKind::kInt || (rn.kind == NodeKind::kUnary && rn.op == "-" &&
                                       arena_[rn.first].kind == NodeKind::kInt))) {
      int64_t value = rn.kind == NodeKind::kInt ? rn.int_value : -arena_[rn.first].int_value;
      auto range = check::kRanges[kd.check];
      if (value < range.lo || value > range.hi) {
        std::string hi = range.hi == check::kUnbounded ? "" : std::to_string(range.hi);
        err(rn.offset, rn.length,
            cmd.name + " " + kd.name + " takes " +
                (hi.empty() ? "values of at least " + std::to_string(range.lo)
                            : "values " + std::to_string(range.lo) + " to " + hi));
        ok = false;
        continue;
      }
    }
    given[static_cast<size_t>(k)] = static_cast<int>(args.size());
    args.push_back(expr_record(static_cast<uint8_t>(k), e, *code));
  }
}

void Compiler::compile_command(int number, size_t pos) {
  const auto& cmd = cmds_.command(number);
  const Token& name = toks_[0];
  if (number == c_ifblend_ || number == c_returncode_ || number == c_label_ || number == c_word_ ||
      number == c_underscore_) {
    err(name.offset, name.length,
        number == c_label_ ? "write labels as *name" :
        number == c_word_ || number == c_underscore_ ? "write message text as a text line ({value} inserts a value)"
                                                     : "this command is placed by the compiler");
    return;
  }
  if (cmd.name == "G_VAR" || cmd.name == "S_VAR" || cmd.name == "MACRO" || number >= cmd::kFirstCompilerOnly) {
    err(name.offset, name.length, "this compiler does not support " + cmd.name);
    return;
  }
  std::vector<ArgRecord> args;
  std::vector<int> given(cmd.keywords.size(), -1);
  // GO *name and GOSUB *name[...]: the label is the "#" argument.
  if ((number == c_go_ || number == c_gosub_) && toks_[pos].kind == Tok::kPunct && toks_[pos].text == "*") {
    int root = parse_expr(pos);
    if (root < 0) return;
    if (arena_[root].kind != NodeKind::kLabel) {
      err(arena_[root].offset, arena_[root].length, "label expected after " + cmd.name);
      return;
    }
    CompiledExpr e;
    if (!expr_.compile(arena_, root, Want::kString, e)) return;
    note_label_uses();
    int k = cmds_.keyword(number, "#");
    if (k < 0) {
      err(name.offset, name.length, "the command table gives " + cmd.name + " no # keyword");
      return;
    }
    given[static_cast<size_t>(k)] = 0;
    args.push_back(expr_record(static_cast<uint8_t>(k), e));
  }
  if (toks_[pos].kind == Tok::kPunct && toks_[pos].text == "[") {
    if (!parse_arguments(number, pos, args, given)) return;
  }
  if (!expect_end(pos)) return;
  if (args.size() > kMaxArgs) {
    err(0, line_.size(), "more than 95 arguments in one command");
    return;
  }
  if (number == c_go_ || number == c_gosub_) {
    int k = cmds_.keyword(number, "#");
    if (k < 0 || given[static_cast<size_t>(k)] < 0) {
      err(name.offset, name.length, cmd.name + " needs a label: " + cmd.name + " *name or " + cmd.name + "[#=...]");
      return;
    }
    if (number == c_gosub_) {
      args[static_cast<size_t>(given[static_cast<size_t>(k)])].selector = 3;
      lower_parameters(number, args, given, cmds_.keyword(number, "PINT"), cmds_.keyword(number, "PFLT"),
                       cmds_.keyword(number, "PSTR"), 1);
    }
  } else if (number == c_return_) {
    lower_parameters(number, args, given, cmds_.keyword(number, "RINT"), cmds_.keyword(number, "RFLT"),
                     cmds_.keyword(number, "RSTR"), 0);
  } else if (cmd.name == "IFBREAK" || cmd.name == "IFCONTINUE" || cmd.name == "LOOPBREAK" ||
             cmd.name == "LOOPCONTINUE") {
    check_break_level(number, args, pos);
  }
  emit(number, std::move(args));
}

// Parameters and return values are taken by position: value k is looked for
// only when the instruction has enough arguments before it. Gaps are filled
// with integer 0 so that every value the author gives arrives.
void Compiler::lower_parameters(int number, std::vector<ArgRecord>& args, const std::vector<int>& given,
                                int first_int, int first_flt, int first_str, size_t fixed) {
  if (first_int < 0 || first_flt < 0 || first_str < 0) return;
  int highest = 0;
  bool ok = true;
  for (int p = 1; p <= kParamCount; ++p) {
    int kinds = 0;
    for (int base : {first_int, first_flt, first_str})
      if (base + p - 1 < static_cast<int>(given.size()) && given[static_cast<size_t>(base + p - 1)] >= 0) ++kinds;
    if (kinds > 1) {
      err(0, line_.size(), cmds_.command(number).name + " gives value " + std::to_string(p) + " more than once");
      ok = false;
    }
    if (kinds) highest = p;
  }
  if (!ok) return;
  for (int p = 1; p < highest; ++p) {
    bool present = false;
    for (int base : {first_int, first_flt, first_str})
      if (given[static_cast<size_t>(base + p - 1)] >= 0) present = true;
    if (present) continue;
    ArgRecord r;
    r.keyword = static_cast<uint8_t>(first_int + p - 1);
    r.selector = 1;
    r.has_data = true;
    writers::Expr zero;
    put_int_constant(zero, 0);
    r.data = zero.bytes();
    args.push_back(std::move(r));
  }
  (void)fixed;
}

void Compiler::check_break_level(int number, const std::vector<ArgRecord>& args, size_t) {
  const auto& name = cmds_.command(number).name;
  bool is_if = name == "IFBREAK" || name == "IFCONTINUE";
  int depth = is_if ? if_depth_ : loop_depth_;
  int64_t level = 1;
  if (!args.empty()) {
    // A constant level is checked; expressions are left to the run time.
    const nv::Bytes& d = args[0].data;
    if (d.size() == 4 && d[0] == 'B') level = static_cast<int8_t>(d[3]);
    else return;
  }
  if (level > depth)
    err(toks_[0].offset, toks_[0].length,
        name + (depth == 0 ? std::string(" outside any ") + (is_if ? "IF" : "LOOP")
                           : " leaves " + std::to_string(level) + " levels but only " + std::to_string(depth) +
                                 " are open"));
}

}  // namespace

void declare_globals(const SourceFile& src, int script, ProjectContext& ctx) {
  Compiler c(src, script, ctx);
  c.run_globals();
}

CompiledScript compile_script(const SourceFile& src, int script, std::string list_name, ProjectContext& ctx) {
  Compiler c(src, script, ctx);
  return c.run(std::move(list_name));
}

}  // namespace nv::vizud
