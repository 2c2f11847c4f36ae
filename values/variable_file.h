// The variable table file nvbin\nvv.nbn ("NVVR"): every declared variable
// with its scope, shape and initial value. Global records are applied at
// start-up, a script's records when that script is first loaded.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace nv {

struct Engine;

constexpr int32_t kGlobalVariables = -1;

struct VariableFile {
  bool loaded = false;
  std::vector<uint8_t> block;  // kept for the script records
};

// Reads the file, keeps it and creates the global variables. Returns 0 or
// -1 after a report.
int load_variable_file(Engine& e);
int install_variable_file(Engine& e, std::vector<uint8_t> block);

// Creates the variables of `key`: kGlobalVariables for the scope-1 records,
// else the scope-2 records of that script number. Every record's variable
// number is checked against the table (900070).
int apply_variable_records(Engine& e, int32_t key);

}  // namespace nv
