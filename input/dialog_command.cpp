#include "core/engine.h"
#include "display/windows_state.h"
#include "graphics/graphics_state.h"
#include "runtime/arg_slots.h"
#include "runtime/dispatch.h"
#include "runtime/script_tables.h"
#include "input/clip_text.h"
#include "input/input_commands.h"
#include "input/input_state.h"
#include "platform/input_box.h"
#include "runtime/arg_eval.h"
#include "formats/command_table.h"
#include "runtime/output_target.h"

namespace nv::input {

namespace {

std::string text_of(const ArgSlots& a, int kw) { return a.has(kw) ? std::string(a.at(kw).text_view()) : std::string(); }

// The button a scripted answer presses; a box without that button takes
// the nearest one (yes and ok, no and cancel stand in for each other).
int button_for(ScriptedAnswer a, platform::Buttons b) {
  const bool yes_type = b == platform::Buttons::yes_no || b == platform::Buttons::yes_no_cancel;
  switch (a) {
    case ScriptedAnswer::yes:
    case ScriptedAnswer::ok: return yes_type ? platform::kIdYes : platform::kIdOk;
    case ScriptedAnswer::no:
      if (yes_type) return platform::kIdNo;
      return b == platform::Buttons::ok ? platform::kIdOk : platform::kIdCancel;
    case ScriptedAnswer::cancel:
      if (b == platform::Buttons::yes_no_cancel || b == platform::Buttons::ok_cancel) return platform::kIdCancel;
      return b == platform::Buttons::yes_no ? platform::kIdNo : platform::kIdOk;
  }
  return platform::kIdOk;
}

void show_cursor_for_dialog(Engine& e) {
  CursorState& c = e.input.keys.cursor;
  c.shown = true;
  c.request = CursorRequest::none;
  e.input.ui.run([&] { e.platform.display->show_cursor(true); });
}

int input_dialog(Engine& e) {
  namespace K = kw::DIALOG;
  const ArgSlots& a = e.args;
  platform::InputBoxSpec spec;
  spec.caption = text_of(a, K::CAPTION);
  spec.prompt = text_of(a, K::STR);
  spec.default_text = text_of(a, K::DEFSTR);
  spec.limit = static_cast<int>(a.value(K::INPUTLIMIT));
  std::optional<std::string> text;
  if (!e.input.answers.typed.empty()) {
    // A scripted answer is typed into an emptied field, under its limits.
    platform::InputField field("", spec.limit);
    field.type(e.input.answers.typed.front());
    e.input.answers.typed.pop_front();
    text = field.text();
  } else {
    show_cursor_for_dialog(e);
    e.input.ui.run([&] { text = e.platform.dialogs->input_box(spec); });
  }
  if (!text) return -1;  // the dialog could not be opened
  if (int r = store_int(e, output_target(e, K::LET), 1); r != 0) return r;
  return store_text(e, output_target(e, K::LETSTR), *text);
}

}  // namespace

int dialog_command(Engine& e) {
  namespace K = kw::DIALOG;
  if (evaluate_arguments(e) != 0) return -1;
  const ArgSlots& a = e.args;
  if (a.has(K::INPUT)) return input_dialog(e);
  platform::MessageBoxSpec box;
  box.caption = text_of(a, K::CAPTION);
  box.text = text_of(a, K::STR);
  box.buttons = a.has(K::YESNOCANCEL) ? platform::Buttons::yes_no_cancel
                : a.has(K::YESNO)     ? platform::Buttons::yes_no
                : a.has(K::OKCANCEL)  ? platform::Buttons::ok_cancel
                                      : platform::Buttons::ok;
  const int64_t def = a.value(K::DEFBUTTON, 1);
  box.default_button = def == 2 || def == 3 ? static_cast<int>(def) : 1;
  switch (a.value(K::ICON)) {
    case 1: box.icon = platform::Icon::information; break;
    case 2: box.icon = platform::Icon::question; break;
    case 3: box.icon = platform::Icon::warning; break;
    case 4: box.icon = platform::Icon::error; break;
    default: box.icon = platform::Icon::none; break;
  }
  int answer = 0;
  if (!e.input.answers.boxes.empty()) {
    answer = button_for(e.input.answers.boxes.front(), box.buttons);
    e.input.answers.boxes.pop_front();
  } else {
    show_cursor_for_dialog(e);
    // The box is modal: the frame step waits for it.
    e.input.ui.run([&] { answer = e.platform.dialogs->message_box(box); });
  }
  return store_int(e, output_target(e, K::LET), dialog_answer_value(box.buttons, answer));
}

}  // namespace nv::input
