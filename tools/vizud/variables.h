// Variables as the compiler sees them: names resolved to numbers, types,
// shapes and scopes. Numbers 0-999 are the engine's system variables, user
// variables are numbered from 1000: globals first, then each script's
// script and local variables in declaration order.
#pragma once

#include <array>
#include <span>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "tools/vizud/diagnostics.h"
#include "tools/writers/expr_encoder.h"

namespace nv::vizud {

enum class VarType : uint8_t { kNone = 0, kInt = 1, kFloat = 2, kString = 3 };
enum class Scope : uint8_t { kSystem, kGlobal, kScript, kLocal };

constexpr int kFirstUserVariable = 1000;
constexpr int kMaxVariableNumber = 65535;
constexpr int64_t kMaxElements = 4000000;

struct VarInfo {
  std::string name;  // Shift-JIS
  int number = 0;
  VarType type = VarType::kNone;
  Scope scope = Scope::kLocal;
  int dims = 0;
  std::array<int32_t, 8> sizes{};  // 0 where the size is only known at run time
  bool assignable = true;          // LET may write it
  int script = -1;                 // owning script for script and local variables
  // Initial value of a global or script variable (written to the variable file).
  int64_t init_int = 0;
  double init_float = 0;
  writers::Expr init_text_tokens;  // compiled expression of a string's initial text
  std::string file;              // declaration site, for messages
  SourcePos pos;
};

// A script name of a system variable (types and shapes come from the
// variable table writer, which owns the system variables' definition).
struct SystemVariableName {
  int number;
  const char* name;
};
std::span<const SystemVariableName> system_variable_names();

class SymbolTable {
 public:
  SymbolTable();

  // Looks `name` up as seen from `script`: local and script names first,
  // then globals and system variables. nullptr when unknown.
  const VarInfo* find(int script, std::string_view name) const;
  const VarInfo* find_global(std::string_view name) const;
  const VarInfo& by_number(int number) const { return vars_[static_cast<size_t>(number)]; }

  // Declares a variable; returns its number, or -1 after a message (name
  // taken with another type or scope, too many variables). Redeclaring a
  // local or script variable of the same type and scope reuses its number.
  int declare(VarInfo info, Diagnostics& diag);
  // Adds another global name for an existing variable; false if taken.
  bool alias(const std::string& name, int number);
  VarInfo& mutable_by_number(int number) { return vars_[static_cast<size_t>(number)]; }

  int highest_number() const { return static_cast<int>(vars_.size()) - 1; }
  const std::vector<VarInfo>& all() const { return vars_; }

 private:
  std::vector<VarInfo> vars_;  // by number; 0-999 always present
  std::unordered_map<std::string, int> globals_;
  std::unordered_map<int, std::unordered_map<std::string, int>> scripts_;
};

const char* type_name(VarType t);

}  // namespace nv::vizud
