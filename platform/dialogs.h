// Message boxes and the engine's error dialog.
//
// Texts are Shift-JIS as the engine holds them; the backend converts. The
// result codes are the Windows ones, since scripts and callers depend on
// them.
#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/input_box.h"

namespace nv::platform {

enum class Buttons { ok, ok_cancel, yes_no, yes_no_cancel };
enum class Icon { none, information, question, warning, error };

enum DialogResult : int { kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7 };

struct MessageBoxSpec {
  std::string caption;  // Shift-JIS
  std::string text;     // Shift-JIS
  Buttons buttons = Buttons::ok;
  Icon icon = Icon::none;
  int default_button = 1;  // 1..3, counted from the left
};

struct ErrorDialogSpec {
  std::string caption;  // Shift-JIS
  std::string text;     // Shift-JIS
  bool offer_editor = false;  // debug mode: a button that opens the source line
};

// How a headless run answers message boxes.
enum class AnswerPolicy { default_button, yes, no, ok, cancel };

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual int message_box(const MessageBoxSpec& box) = 0;
  // Returns true when the user asked to open the source in the editor.
  virtual bool error_dialog(const ErrorDialogSpec& dialog) = 0;
  // The one-line input dialog over the main window; its text (Shift-JIS)
  // when OK ended it, nothing when it could not be shown.
  virtual std::optional<std::string> input_box(const InputBoxSpec& spec) = 0;
};

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
