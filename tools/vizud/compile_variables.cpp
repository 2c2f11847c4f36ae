// Declarations (INT, FLT, STR and their global and script forms) and assignments (LET).
#include "formats/command_table.h"
#include "formats/expr_tokens.h"
#include "platform/encoding.h"
#include "tools/vizud/script_compiler_state.h"

namespace nv::vizud {

void ScriptCompiler::compile_declaration(size_t pos, VarType type, Scope scope) {
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

void ScriptCompiler::compile_let(size_t pos) {
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

}  // namespace nv::vizud
