// Message boxes and the engine's error dialog (answered by a policy in
// headless runs: platform/headless/dialogs_headless.h).
//
// Texts are Shift-JIS as the engine holds them; the backend converts. The
// result codes are the Windows ones, since scripts and callers depend on
// them.
#pragma once

#include <optional>
#include <string>

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

}  // namespace nv::platform
