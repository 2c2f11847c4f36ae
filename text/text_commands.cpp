// TEXT, TEXTINFO, `_`, WORD and RETURNCODE's items.
#include "text/text_commands.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>

#include "core/engine.h"
#include "core/error_report.h"
#include "formats/command_table.h"
#include "graphics/layer_tree.h"
#include "runtime/arg_eval.h"
#include "runtime/arg_slots.h"
#include "runtime/control_flow.h"
#include "runtime/output_target.h"
#include "values/evaluator.h"
#include "text/text_queue.h"
#include "text/text_state.h"

namespace nv::text {

namespace {

// A click or skip key as TEXT stores it: 0 means none.
int32_t key_number(int64_t v) { return v == 0 ? kNoTextKey : int32_t(v); }

// The text `_` shows for its argument: an integer in decimal, a float with
// "%f", a string as it is; selector 4 shows nothing.
std::string value_text(Engine& e, const ArgSlot& s, std::span<const uint8_t> expr) {
  switch (s.selector) {
    case 1: return std::to_string(eval_int(e, expr, 1));
    case 2: {
      char buf[512];
      const int n = std::snprintf(buf, sizeof buf, "%f", eval_float(e, expr, 2));
      return std::string(buf, n < 0 ? 0 : size_t(n) < sizeof buf ? size_t(n) : sizeof buf - 1);
    }
    case 3: return std::string(eval_text(e, expr, 3));
    default: return {};
  }
}

}  // namespace

int text_command(Engine& e) {
  namespace K = kw::TEXT;
  if (evaluate_arguments(e) != 0) return -1;
  const ArgSlots& a = e.args;
  TextState& s = e.text;
  if (a.has(K::ID)) {
    const std::string id(a.at(K::ID).text_view());
    NodePath path;
    if (!gfx::resolve_layer_path(e, id, path)) return -1;
    bool missing_set = false;
    gfx::LayerNode* node = gfx::find_layer(e, path, true, &missing_set);
    if (missing_set) return -1;
    if (!node || !node->layer) return report(e, 101250, {"TEXT", id});
    s.target = path.path;
    s.target_is_set = path.is_set;
  }
  if (a.has(K::OUTPUTMODE)) s.output_mode = int32_t(a.at(K::OUTPUTMODE).value);
  const int click[] = {K::CLICKBUTTON, K::CLICKBUTTON2, K::CLICKBUTTON3, K::CLICKBUTTON4};
  const int skip[] = {K::SKIPBUTTON, K::SKIPBUTTON2, K::SKIPBUTTON3, K::SKIPBUTTON4};
  for (size_t i = 0; i < 4; ++i) {
    if (a.has(click[i])) s.click_keys[i] = key_number(a.at(click[i]).value);
    if (a.has(skip[i])) s.skip_keys[i] = key_number(a.at(skip[i]).value);
  }
  // Whole milliseconds of a 32-bit delay: WAIT is checked non-negative.
  if (a.has(K::WAIT)) s.wait_ms = uint32_t(std::min<int64_t>(a.at(K::WAIT).value, INT32_MAX));
  if (a.has(K::AUTORETURN)) s.auto_return = a.at(K::AUTORETURN).value != 0;
  if (a.has(K::AUTOPAGE)) s.auto_page = a.at(K::AUTOPAGE).value != 0;
  if (a.has(K::AUTOCLICK)) s.auto_click = a.at(K::AUTOCLICK).value != 0;
  if (a.value(K::CLEAR) == 1) empty_queue(s);
  struct Control {
    int keyword;
    char kind;
  };
  for (Control c : {Control{K::RETURN, item::line}, Control{K::PAGE, item::page},
                    Control{K::CLICKRETURN, item::click_line}, Control{K::CLICKPAGE, item::click_page}})
    if (a.value(c.keyword) == 1)
      if (int err = queue_controls(s, std::string_view(&c.kind, 1)); err != 0) return report(e, uint32_t(err));
  if (a.value(K::CLICK) == 1) {
    if (int err = queue_controls(s, "C"); err != 0) return report(e, uint32_t(err));
    // The task's turn ends here, so that the wait is seen before it goes on.
    if (s.output_mode != 0) return 1;
  }
  return 0;
}

int textinfo_command(Engine& e) {
  namespace K = kw::TEXTINFO;
  if (evaluate_arguments(e) != 0) return -1;
  const ArgSlots& a = e.args;
  const TextState& s = e.text;
  const OutputTarget out = output_target(e, K::LET);
  if (a.has(K::OUTPUTMODE)) return store_int(e, out, s.output_mode);
  if (a.has(K::CX)) return store_int(e, out, s.cursor_x);
  if (a.has(K::CY)) return store_int(e, out, s.cursor_y);
  if (a.has(K::CLICK)) return store_int(e, out, s.click_wait);
  if (a.has(K::AUTORETURN)) return store_int(e, out, s.auto_return);
  if (a.has(K::AUTOPAGE)) return store_int(e, out, s.auto_page);
  if (a.has(K::AUTOCLICK)) return store_int(e, out, s.auto_click);
  return store_int(e, out, 0);
}

int underscore_command(Engine& e) {
  namespace K = kw::UNDERSCORE;
  if (evaluate_arguments(e) != 0) return -1;
  if (!e.args.has(K::VALUE)) return 0;
  bool ok = true;
  const ArgSlot& slot = e.args.at(K::VALUE);
  const auto expr = argument_expression(e, slot, ok);
  if (!ok) return -1;
  const std::string text = value_text(e, slot, expr);
  if (e.stop.load()) return -1;  // the evaluation reported an error
  if (int err = queue_value_text(e.text, text); err != 0) return report(e, uint32_t(err));
  return 0;
}

int word_command(Engine& e) {
  namespace K = kw::WORD;
  if (evaluate_arguments(e) != 0) return -1;
  if (!e.args.has(K::VALUE)) return 0;
  bool ok = true;
  const auto bytes = argument_expression(e, e.args.at(K::VALUE), ok);
  if (!ok) return -1;
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (int err = queue_word_text(e.text, text); err != 0) return report(e, uint32_t(err));
  return 0;
}

int text_returncode_command(Engine& e) {
  const int status = returncode_command(e);
  if (status < 0) return status;
  if (int err = queue_line_end(e.text); err != 0) return report(e, uint32_t(err));
  return status;
}

}  // namespace nv::text
