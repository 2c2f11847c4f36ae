// The evaluator's working state: one value stack, the string temporaries,
// the open element references and the last variable reference. One
// instance per engine, reset at the start of every evaluation; the string
// buffers are allocated on first use and reused for the life of the engine.
// It also holds the decoded forms of the loaded scripts' expressions
// (values/script_expressions.h).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace nv {

constexpr uint32_t kStackSlots = 1024;
constexpr uint32_t kStringTemporaries = 1024;  // numbers 1 .. 1023 per evaluation
constexpr uint32_t kTextBufferSize = 4096;     // every string result, terminator included
constexpr int kMaxNesting = 127;               // open element references
constexpr int kRecordedIndexes = 8;

struct ValueSlot {
  int64_t i = 0;
  double f = 0.0;
  uint16_t str = 0;  // 0: a number; else the string temporary holding the text
};

// The variable an expression referenced last; commands use it as their
// output target. Kept after the evaluation.
struct VarRef {
  int32_t number = 0;
  int64_t element = 0;  // linear element index
  bool whole = false;   // `v`: the whole variable, no element
  int32_t index_count = 0;  // indexes of the last closed element reference
  std::array<int64_t, kRecordedIndexes> index{};  // the first of them
};

// What every evaluation resets of the last reference before its first
// token (number and element keep the previous reference until one is made).
inline void begin_reference(VarRef& r) {
  r.whole = false;
  r.index_count = 0;
  r.index[0] = 0;
}

struct ElementLevel {
  uint32_t sp = 0;  // stack position of the placeholder
  uint32_t number = 0;
  uint8_t prefix = 0;
};

struct StringTemp {
  std::unique_ptr<char[]> buf;  // kTextBufferSize bytes once allocated
  uint32_t length = 0;
};

struct CompiledExpressions;  // values/script_expressions.cpp
struct CompiledExpressionsDeleter {
  void operator()(CompiledExpressions* c) const;
};

struct EvaluatorState {
  std::array<ValueSlot, kStackSlots> stack{};
  uint32_t sp = 0;
  std::array<StringTemp, kStringTemporaries> strings{};
  uint32_t next_string = 1;
  int nesting = 0;
  std::array<ElementLevel, kMaxNesting + 1> levels{};
  int mode = 1;

  bool constant_only = false;  // variable tokens fail (label pre-resolution)
  bool declaration = false;    // declaration targets: shape only, no value
  bool not_constant = false;   // set by a variable token in constant-only mode
  bool failed = false;         // the last evaluation stopped at a failing token
  bool target = false;         // an assignment target: the text it names is not read

  // Decoded script expressions, made on first use, dropped when scripts
  // load.
  std::unique_ptr<CompiledExpressions, CompiledExpressionsDeleter> compiled;

  VarRef ref;
  std::string system_text;  // reused buffer for text system variables
};

}  // namespace nv
