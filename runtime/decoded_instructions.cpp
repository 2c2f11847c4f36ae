#include "runtime/decoded_instructions.h"

#include "core/engine.h"
#include "runtime/dispatch.h"

namespace nv {

void DecodedInstructionsDeleter::operator()(DecodedInstructions* d) const { delete d; }

namespace {

DecodedInstructions& image_table(const ScriptImage& img) {
  if (!img.decoded) {
    img.decoded.reset(new DecodedInstructions);
    img.decoded->fast.resize(img.count);
    img.fast = img.decoded->fast.data();
  }
  return *img.decoded;
}

}  // namespace

FastInstruction* current_fast_instruction(Engine& e) {
  const ScriptImage& img = *e.dispatch.task->image;
  const int32_t i = e.dispatch.instruction;
  if (i < 0 || static_cast<uint32_t>(i) >= img.count) return nullptr;
  return &image_table(img).fast[static_cast<size_t>(i)];
}

DecodedForm& new_decoded_form(Engine& e) { return image_table(*e.dispatch.task->image).forms.emplace_back(); }

}  // namespace nv
