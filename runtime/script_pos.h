// The ScriptPos text: a task's position and control stacks as text that a
// script can keep (in save data) and give back to TASK SCRIPTPOS. Eight
// marker bytes 1..8, then every number as letters 'a'..'p', one per 4-bit
// digit, most significant first, then the script's source name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nv {

struct Engine;
struct Task;

// The text for `t`; `script_name` is its current script's source name.
std::string encode_script_pos(const Task& t, std::string_view script_name);

enum class ScriptPosError { none, bad_data, unknown_script };

struct DecodedScriptPos {
  ScriptPosError error = ScriptPosError::none;
  std::string script_name;  // as the text holds it (at most 262 bytes)
};

// Restores `t`'s stacks, text line and program counter from `text` (the
// script is found by the caller from the returned name). A malformed text
// leaves `t` unchanged.
DecodedScriptPos decode_script_pos(std::string_view text, Task& t);

// TASK SCRIPTPOS: decodes into `t`, finds the script by name (ignoring
// ASCII case) and switches `t` to it. Returns 0, or -1 after reporting
// 900000 (malformed) or 102130 (no such script).
int restore_script_pos(Engine& e, Task& t, std::string_view text);

}  // namespace nv
