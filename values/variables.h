// The variable table: numbered records, each a scalar or an array of up to
// eight dimensions of integers, doubles or Shift-JIS texts. Numbers 0 to 999
// are system variables (the engine supplies their values), 1000 and above
// user variables.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace nv {

struct Engine;

enum VarType : int8_t { kVarNone = 0, kVarInt = 1, kVarFloat = 2, kVarString = 3 };

constexpr int kMaxDims = 8;
constexpr int64_t kMaxElements = 4000000;
constexpr uint32_t kFirstUserVariable = 1000;

// One text element: its own NUL-terminated buffer. The capacity (bytes,
// terminator included) is kept wide, so texts of any length are safe.
struct TextCell {
  std::unique_ptr<char[]> buf;
  uint32_t capacity = 0;
  uint32_t length = 0;
  std::string_view view() const { return buf ? std::string_view(buf.get(), length) : std::string_view(); }
};

struct Variable {
  int8_t type = kVarNone;
  int8_t dim_count = 0;
  std::array<int32_t, kMaxDims> dims{};
  int64_t count = 0;  // element count; 1 for a scalar, 0 before the first creation
  std::vector<int64_t> ints;
  std::vector<double> floats;
  std::vector<TextCell> texts;
};

struct VariableTable {
  std::vector<Variable> vars;  // numbers 0 .. N, allocated once with the script index

  Variable* find(uint32_t number) { return number < vars.size() ? &vars[number] : nullptr; }
};

// Element count of a shape: the product of the sizes. Returns 0 and reports
// 101110 (zero or negative) or 101100 (above 4,000,000) when it is invalid.
int64_t checked_element_count(Engine& e, std::span<const int32_t> dims);

// Declares variable `number` with shape `dims` (empty: a scalar) and gives
// every element the initial value. Nothing changes when the shape is invalid
// or the number is outside the table (each reported). Returns 0 or -1.
int create_integer(Engine& e, uint32_t number, std::span<const int32_t> dims, int64_t init);
int create_float(Engine& e, uint32_t number, std::span<const int32_t> dims, double init);
int create_string(Engine& e, uint32_t number, std::span<const int32_t> dims, std::string_view init);

// Element access by linear index. An index outside the variable reads 0, 0.0
// or no text and drops writes, without a message. Numbers are converted
// between the integer and float types; a text variable reads as 0.
// The numeric accessors are inline: the evaluator and LET call them for
// every variable token and assignment.
inline int64_t read_int(const Variable& v, int64_t k);
inline double read_float(const Variable& v, int64_t k);
std::string_view read_text(const Variable& v, int64_t k);
inline void write_int(Variable& v, int64_t k, int64_t value);
inline void write_float(Variable& v, int64_t k, double value);
// Writing text into a variable that is not a text variable reports 101140.
// The element grows to length + 1 when it is smaller; it never shrinks.
int write_text(Engine& e, Variable& v, int64_t k, std::string_view text);
// The same for a variable known to hold texts (no report possible).
void store_text(TextCell& cell, std::string_view text);
// Appends `more` to the element's text, growing it to the joined length + 1
// when it is smaller, like a store of the joined text.
void append_text(TextCell& cell, std::string_view more);

// Changes the size of the first dimension, keeping the leading elements (for
// several dimensions the leading rows), filling new ones with 0, 0.0 or "".
int resize_first_dimension(Engine& e, uint32_t number, int32_t new_size);

// double to int64 the way the engine truncates: toward zero; NaN and values
// outside the int64 range give INT64_MIN, as the processor's conversion does.
int64_t truncate_to_int(double d);

inline int64_t read_int(const Variable& v, int64_t k) {
  if (k < 0 || k >= v.count) return 0;
  if (v.type == kVarInt && static_cast<size_t>(k) < v.ints.size()) return v.ints[static_cast<size_t>(k)];
  if (v.type == kVarFloat && static_cast<size_t>(k) < v.floats.size())
    return truncate_to_int(v.floats[static_cast<size_t>(k)]);
  return 0;
}

inline double read_float(const Variable& v, int64_t k) {
  if (k < 0 || k >= v.count) return 0.0;
  if (v.type == kVarFloat && static_cast<size_t>(k) < v.floats.size()) return v.floats[static_cast<size_t>(k)];
  if (v.type == kVarInt && static_cast<size_t>(k) < v.ints.size())
    return static_cast<double>(v.ints[static_cast<size_t>(k)]);
  return 0.0;
}

inline void write_int(Variable& v, int64_t k, int64_t value) {
  if (k < 0 || k >= v.count) return;
  if (v.type == kVarInt && static_cast<size_t>(k) < v.ints.size()) v.ints[static_cast<size_t>(k)] = value;
  else if (v.type == kVarFloat && static_cast<size_t>(k) < v.floats.size())
    v.floats[static_cast<size_t>(k)] = static_cast<double>(value);
}

inline void write_float(Variable& v, int64_t k, double value) {
  if (k < 0 || k >= v.count) return;
  if (v.type == kVarFloat && static_cast<size_t>(k) < v.floats.size()) v.floats[static_cast<size_t>(k)] = value;
  else if (v.type == kVarInt && static_cast<size_t>(k) < v.ints.size())
    v.ints[static_cast<size_t>(k)] = truncate_to_int(value);
}

}  // namespace nv
