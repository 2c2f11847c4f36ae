// Changing a loaded script in place, for the cases the compiler refuses to
// write (a text target with -=, a system variable it knows is read-only).
// A loaded image is otherwise never changed, so finding the instruction
// drops the decoded expressions the engine keeps of it.
#pragma once

#include <cstdint>

#include "host/engine.h"
#include "values/script_expressions.h"

namespace nv::test {

struct ArgPatch {
  ScriptImage* image = nullptr;
  uint32_t instruction = 0;
  bool valid() const { return image != nullptr; }
  uint8_t* record(int k) const { return image->arg_start[instruction] + kArgRecordSize * static_cast<size_t>(k); }
  // The expression bytes of record k.
  uint8_t* expression(int k) const { return image->resources.data() + image->record(instruction, k).offset(); }
};

// The n-th (0-based) instruction of command `command` in script 0.
inline ArgPatch nth_instruction(Engine& e, int command, int n) {
  if (e.scripts.images.empty() || !e.scripts.images[0].valid) return {};
  clear_script_expressions(e);
  ScriptImage& img = e.scripts.images[0];
  for (uint32_t i = 0; i < img.count; ++i)
    if (img.command_of(i) == command && n-- == 0) return {&img, i};
  return {};
}

}  // namespace nv::test
