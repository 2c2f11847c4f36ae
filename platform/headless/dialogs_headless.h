// Headless dialogs: every box is written to a stream and recorded, and
// answered by a policy instead of a user.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/dialogs.h"

namespace nv::platform {

// How a headless run answers message boxes.
enum class AnswerPolicy { default_button, yes, no, ok, cancel };

// What a headless dialog showed, kept for tests and tools.
struct ShownDialog {
  std::string caption;  // Shift-JIS
  std::string text;     // Shift-JIS
  bool is_error = false;
  int answer = 0;
};

class HeadlessDialogs final : public Dialogs {
 public:
  // Writes every dialog to `err` as UTF-8 ("[caption] text") and answers by
  // the policy. `err` may be null to stay silent.
  HeadlessDialogs(AnswerPolicy policy, std::ostream* err);

  int message_box(const MessageBoxSpec& box) override;
  bool error_dialog(const ErrorDialogSpec& dialog) override;
  // Answers with the default text (as the field holds it).
  std::optional<std::string> input_box(const InputBoxSpec& spec) override;

  const std::vector<ShownDialog>& shown() const { return shown_; }
  const std::vector<InputBoxSpec>& input_boxes() const { return input_boxes_; }
  void set_policy(AnswerPolicy p) { policy_ = p; }

 private:
  void write(const ShownDialog& d);

  AnswerPolicy policy_;
  std::ostream* err_;
  std::vector<ShownDialog> shown_;
  std::vector<InputBoxSpec> input_boxes_;
};

// The answer a policy gives to a box with these buttons.
int answer_for(AnswerPolicy policy, Buttons buttons, int default_button);

// Parses "default", "yes", "no", "ok", "cancel"; false for anything else.
bool parse_answer_policy(const std::string& word, AnswerPolicy& out);

}  // namespace nv::platform
