// Direct access to the current instruction's argument records, for the
// handlers that read their records themselves (IF, ELSE, LOOP, GO, LET ...).
#pragma once

#include <cstdint>
#include <span>

#include "runtime/script_tables.h"

namespace nv {

struct Engine;

// False after reporting 900000 when the instruction has fewer than `n`
// records (a damaged script file).
bool require_records(Engine& e, int n);

// Record `k` of the current instruction (k below the argument count).
ArgRecordView current_record(const Engine& e, int k);

// The expression bytes record `k` points at; `ok` false after reporting
// 900000 when they lie outside the script's resource area.
std::span<const uint8_t> record_expression(Engine& e, int k, bool& ok);

// Evaluates record `k` as an integer with its own selector; `ok` as above.
int64_t record_int(Engine& e, int k, bool& ok);

}  // namespace nv
