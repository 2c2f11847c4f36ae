// The argument routine every handler calls first: evaluates the current
// instruction's arguments into the argument slots and applies each
// keyword's check code.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/arg_slots.h"

namespace nv {

struct Engine;

// Returns 0, or -1 after a report (the arguments after the failing one are
// not evaluated).
int evaluate_arguments(Engine& e);

// Variant for GOSUB: string arguments always use string entry 3.
int evaluate_arguments_gosub(Engine& e);

// Applies check code `code` (0 to 26) to `value` of keyword `keyword` of
// command `command` (names for the message). Returns 0, or -1 after the
// report.
int check_argument(Engine& e, uint8_t code, int64_t value, std::string_view command, std::string_view keyword);

// The expression bytes of an argument record in the current script, or an
// empty span after reporting 900000 when the record points outside the
// resource area.
std::span<const uint8_t> argument_expression(Engine& e, const ArgSlot& s, bool& ok);

}  // namespace nv
