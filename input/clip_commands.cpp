#include "core/engine.h"
#include "display/windows_state.h"
#include "graphics/graphics_state.h"
#include "runtime/arg_slots.h"
#include "runtime/dispatch.h"
#include "runtime/script_tables.h"
#include "input/clip_text.h"
#include "input/input_commands.h"
#include "input/input_state.h"
#include "runtime/arg_eval.h"
#include "formats/command_table.h"
#include "runtime/output_target.h"

namespace nv::input {

int clipact_command(Engine& e) {
  namespace K = kw::CLIPACT;
  if (evaluate_arguments(e) != 0) return -1;
  const ArgSlots& a = e.args;
  if (!a.has(K::TEXT) || !a.has(K::SET)) return 0;
  const std::string text(a.at(K::SET).text_view());
  e.input.ui.run([&] { e.platform.clipboard->set_text(text); });
  return 0;
}

int clipinfo_command(Engine& e) {
  namespace K = kw::CLIPINFO;
  if (evaluate_arguments(e) != 0) return -1;
  if (!e.args.has(K::TEXT)) return 0;
  std::optional<std::string> text;
  e.input.ui.run([&] { text = e.platform.clipboard->text(); });
  if (!text) return -1;  // no text on the clipboard: the command fails
  return store_text(e, output_target(e, K::LET), clip_text_for_script(*text));
}

}  // namespace nv::input
