// IF, ELSEIF, ELSE, IFEND, LOOP and LOOPEND lowered to jump records.
#include "formats/command_table.h"
#include "formats/expr_tokens.h"
#include "platform/encoding.h"
#include "tools/vizud/script_compiler_state.h"

namespace nv::vizud {

bool ScriptCompiler::close_bracket(size_t& pos, const char* message) {
  if (!(toks_[pos].kind == Tok::kPunct && toks_[pos].text == "]")) {
    err(toks_[pos].offset, toks_[pos].length, message);
    return false;
  }
  ++pos;
  return true;
}

void ScriptCompiler::compile_if(size_t pos, bool is_elseif) {
  const Token& kwtok = toks_[0];
  // IF cond, or IF[cond] as the engine's messages write it.
  bool bracket = toks_[pos].kind == Tok::kPunct && toks_[pos].text == "[";
  if (bracket) ++pos;
  int root = parse_expr(pos);
  if (root < 0) return;
  if (bracket && !close_bracket(pos, "\"]\" expected after the condition")) return;
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

void ScriptCompiler::compile_else(size_t pos) {
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

void ScriptCompiler::compile_ifend(size_t pos) {
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

void ScriptCompiler::compile_loop(size_t pos) {
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
    if (bracket && !close_bracket(pos, "\"]\" expected")) return;
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

void ScriptCompiler::compile_loopend(size_t pos) {
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

}  // namespace nv::vizud
