// Commands and their arguments, GOSUB/RETURN parameters, break levels.
#include "formats/command_table.h"
#include "formats/expr_tokens.h"
#include "platform/encoding.h"
#include "tools/vizud/script_compiler_state.h"

namespace nv::vizud {

bool ScriptCompiler::parse_arguments(int number, size_t& pos, std::vector<ArgRecord>& args, std::vector<int>& given) {
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

void ScriptCompiler::compile_command(int number, size_t pos) {
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
void ScriptCompiler::lower_parameters(int number, std::vector<ArgRecord>& args, const std::vector<int>& given,
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

void ScriptCompiler::check_break_level(int number, const std::vector<ArgRecord>& args, size_t) {
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

}  // namespace nv::vizud
