#include "platform/headless/dialogs_headless.h"

#include "platform/encoding.h"

namespace nv::platform {

namespace {

// The buttons of a box, left to right.
std::vector<int> buttons_of(Buttons b) {
  switch (b) {
    case Buttons::ok: return {kIdOk};
    case Buttons::ok_cancel: return {kIdOk, kIdCancel};
    case Buttons::yes_no: return {kIdYes, kIdNo};
    case Buttons::yes_no_cancel: return {kIdYes, kIdNo, kIdCancel};
  }
  return {kIdOk};
}

bool has(const std::vector<int>& v, int id) {
  for (int x : v)
    if (x == id) return true;
  return false;
}

}  // namespace

int answer_for(AnswerPolicy policy, Buttons buttons, int default_button) {
  std::vector<int> ids = buttons_of(buttons);
  auto first_of = [&](std::initializer_list<int> wanted) {
    for (int w : wanted)
      if (has(ids, w)) return w;
    return ids.front();
  };
  switch (policy) {
    case AnswerPolicy::default_button:
      if (default_button >= 1 && default_button <= static_cast<int>(ids.size())) return ids[default_button - 1];
      return ids.front();
    case AnswerPolicy::yes: return first_of({kIdYes, kIdOk});
    case AnswerPolicy::ok: return first_of({kIdOk, kIdYes});
    case AnswerPolicy::no: return first_of({kIdNo, kIdCancel});
    case AnswerPolicy::cancel: return first_of({kIdCancel, kIdNo});
  }
  return ids.front();
}

bool parse_answer_policy(const std::string& word, AnswerPolicy& out) {
  if (word == "default") out = AnswerPolicy::default_button;
  else if (word == "yes") out = AnswerPolicy::yes;
  else if (word == "no") out = AnswerPolicy::no;
  else if (word == "ok") out = AnswerPolicy::ok;
  else if (word == "cancel") out = AnswerPolicy::cancel;
  else return false;
  return true;
}

HeadlessDialogs::HeadlessDialogs(AnswerPolicy policy, std::ostream* err) : policy_(policy), err_(err) {}

void HeadlessDialogs::write(const ShownDialog& d) {
  if (!err_) return;
  *err_ << '[' << sjis_to_utf8(d.caption) << "] " << sjis_to_utf8(d.text) << '\n';
  err_->flush();
}

int HeadlessDialogs::message_box(const MessageBoxSpec& box) {
  ShownDialog d{box.caption, box.text, false, answer_for(policy_, box.buttons, box.default_button)};
  write(d);
  shown_.push_back(d);
  return d.answer;
}

std::optional<std::string> HeadlessDialogs::input_box(const InputBoxSpec& spec) {
  input_boxes_.push_back(spec);
  write({spec.caption, spec.prompt, false, kIdOk});
  return InputField(spec.default_text, spec.limit).text();
}

bool HeadlessDialogs::error_dialog(const ErrorDialogSpec& dialog) {
  ShownDialog d{dialog.caption, dialog.text, true, kIdOk};
  write(d);
  shown_.push_back(d);
  return false;
}

}  // namespace nv::platform
