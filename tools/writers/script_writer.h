// nvbin\nvtNNNNN.nbn, one compiled script ("NVTB"): a 32-byte header (count
// n, code size 4n, argument size 12 x records, resource size, line table
// size 4n, 0), then the code, argument, resource and line areas, each XORed
// with the script key from its own first byte.
//
// ScriptBuilder collects instructions in order:
//   ScriptBuilder s;
//   s.instruction(cmd::CG, 12);                       // line 12
//   s.arg(kw::CG::ID, Expr::text("bg"), selector::kString);
//   s.arg(kw::CG::Z, Expr::integer(1), selector::kInt);
//   uint32_t go = s.instruction(cmd::GO, 13);
//   s.arg(kw::GO::TARGET, Expr::text("MAIN"), selector::kString);
//   Bytes file = s.encode(script_key());
// Jump records (IF, ELSE, LOOP) carry an instruction index in their size
// field: add them with jump() and fill them later with set_jump() once the
// target is known.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "formats/byte_writer.h"
#include "formats/expr_tokens.h"
#include "formats/script_key.h"
#include "tools/writers/expr_encoder.h"

namespace nv::writers {

// Evaluator selectors (byte 2 of an argument record).
namespace selector {
constexpr uint8_t kInt = 1;          // integer arithmetic
constexpr uint8_t kFloat = 2;        // double arithmetic
constexpr uint8_t kString = 3;       // string result, integer arithmetic
constexpr uint8_t kFloatString = 4;  // string result, double arithmetic
}  // namespace selector

// One 12-byte argument record.
struct ArgRecord {
  uint8_t keyword = 0;   // index in the command's keyword list
  uint8_t spare = 0;     // not read by the engine
  uint8_t selector = 0;  // evaluator entry; with `assign` also the 16-bit GOSUB label field
  uint8_t assign = 0;    // expr::AssignOp
  uint32_t size = 0;     // expression size, or a jump target
  uint32_t offset = 0;   // expression offset in the resource area

  // The record whose first 32-bit word is `word0` (RETURNCODE's text line).
  static ArgRecord from_words(uint32_t word0, uint32_t size, uint32_t offset);
};

class ScriptBuilder {
 public:
  // Starts instruction `command` at source `line`; returns its index.
  uint32_t instruction(uint8_t command, int32_t line);

  // Adds an argument to the current instruction; the expression bytes are
  // appended to the resource area.
  void arg(uint8_t keyword, const Expr& e, uint8_t selector, uint8_t assign = expr::kAssign);
  // Shorthands: an integer constant (selector 1), a text literal (selector
  // 3), a scalar variable reference (selector 1, e.g. for LET and SET).
  void arg_int(uint8_t keyword, int64_t v, uint8_t assign = expr::kAssign) {
    arg(keyword, Expr::integer(v), selector::kInt, assign);
  }
  void arg_text(uint8_t keyword, std::string_view sjis) { arg(keyword, Expr::text(sjis), selector::kString); }
  void arg_var(uint8_t keyword, uint32_t var) { arg(keyword, Expr::var(var), selector::kInt); }
  // Adds a record without expression whose size field is an instruction
  // index (0 until set_jump fills it).
  void jump(uint32_t target = 0, uint8_t keyword = 0);
  // Adds a record as given.
  void record(const ArgRecord& r);

  // Fills the size field of record `pos` (0-based) of `instruction`.
  void set_jump(uint32_t instruction, uint32_t pos, uint32_t target);
  // Sets bytes 2 and 3 of the instruction word (unused by the engine).
  void set_instruction_spare(uint32_t instruction, uint16_t value);

  // Appends bytes to the resource area; returns their offset.
  uint32_t resource(std::span<const uint8_t> bytes);

  uint32_t instruction_count() const { return static_cast<uint32_t>(code_.size()); }
  uint32_t highest_line() const;
  const ArgRecord& record_at(uint32_t instruction, uint32_t pos) const;
  uint8_t command_at(uint32_t instruction) const { return code_.at(instruction).command; }

  // The whole file, scrambled with `key`.
  Bytes encode(const ScriptKey& key) const;

 private:
  struct Instr {
    uint8_t command;
    uint16_t spare = 0;
    int32_t line;
    std::vector<ArgRecord> args;
  };
  Instr& current();
  std::vector<Instr> code_;
  Bytes resources_;
};

// Header offsets of a compiled script.
constexpr uint32_t kScriptHeaderSize = 32;

}  // namespace nv::writers
