// Compiler directives: INCLUDE, DEFINE and UNDEF, KEYNAME, PRODUCT.
#include "formats/command_table.h"
#include "formats/expr_tokens.h"
#include "platform/encoding.h"
#include "tools/vizud/script_compiler_state.h"

namespace nv::vizud {

bool ScriptCompiler::parse_directive(size_t pos, std::vector<RawArg>& out) {
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

const ScriptCompiler::RawArg* ScriptCompiler::directive_arg(const std::vector<RawArg>& args, const char* name) {
  for (const RawArg& a : args)
    if (a.name == name) return &a;
  return nullptr;
}

bool ScriptCompiler::constant_text(const RawArg* a, std::string& out) {
  if (!a) return false;
  const Node& n = arena_[a->root];
  if (n.kind != NodeKind::kString) {
    err(n.offset, n.length, a->name + " must be a text literal");
    return false;
  }
  out = n.text;
  return true;
}

bool ScriptCompiler::constant_int(const RawArg* a, int64_t& out) {
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

void ScriptCompiler::compile_keyname(size_t pos) {
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

void ScriptCompiler::compile_include(size_t pos, bool globals_pass) {
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

void ScriptCompiler::compile_define(size_t pos, bool define) {
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

void ScriptCompiler::substitute(std::vector<Token>& toks) {
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

void ScriptCompiler::compile_product(size_t pos) {
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

}  // namespace nv::vizud
