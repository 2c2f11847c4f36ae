// The headless platform: virtual clock, in-memory windows, dialogs written
// to a stream and answered by a policy, fixed system facts, and the host
// file system rooted at the title folder.
#pragma once

#include <ostream>
#include <string>

#include "platform/headless/dialogs_headless.h"
#include "platform/headless/headless_clipboard.h"
#include "platform/headless/headless_tray.h"
#include "platform/platform.h"

namespace nv::platform {

class HeadlessDisplay;

struct HeadlessOptions {
  std::string title_dir = ".";
  AnswerPolicy answer = AnswerPolicy::default_button;
  std::ostream* err = nullptr;  // where dialogs are written; null: silent
  LocalTime start_time{};       // the virtual clock's calendar start
  DesktopSize desktop{1920, 1080};
};

Platform make_headless_platform(const HeadlessOptions& options);

// The headless dialogs and display of a platform made by make_headless_platform.
HeadlessDialogs* headless_dialogs(Platform& p);
HeadlessDisplay* headless_display(Platform& p);
HeadlessClipboard* headless_clipboard(Platform& p);
HeadlessTray* headless_tray(Platform& p);

}  // namespace nv::platform
