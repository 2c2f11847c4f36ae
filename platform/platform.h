// The host services one engine uses, bundled. Engine code reaches the host
// only through these.
#pragma once

#include <memory>
#include <ostream>
#include <string>

#include "platform/clipboard.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/display.h"
#include "platform/file_system.h"
#include "platform/system_info.h"
#include "platform/tray.h"

namespace nv::platform {

struct Platform {
  std::unique_ptr<Clock> clock;
  std::unique_ptr<FileSystem> files;
  std::unique_ptr<Dialogs> dialogs;
  std::unique_ptr<SystemInfo> system;
  std::unique_ptr<Display> display;
  std::unique_ptr<Clipboard> clipboard;
  std::unique_ptr<Tray> tray;
};

struct HeadlessOptions {
  std::string title_dir = ".";
  AnswerPolicy answer = AnswerPolicy::default_button;
  std::ostream* err = nullptr;  // where dialogs are written; null: silent
  LocalTime start_time{};       // the virtual clock's calendar start
  DesktopSize desktop{1920, 1080};
};

// The headless platform: virtual clock, in-memory dialogs written to `err`,
// fixed system facts, and the host file system rooted at the title folder.
Platform make_headless_platform(const HeadlessOptions& options);

// The headless dialogs and display of a platform made by make_headless_platform.
HeadlessDialogs* headless_dialogs(Platform& p);
class HeadlessDisplay;
HeadlessDisplay* headless_display(Platform& p);
HeadlessClipboard* headless_clipboard(Platform& p);
HeadlessTray* headless_tray(Platform& p);

// Whether this build has the interactive (SDL2) backend.
bool have_interactive_platform();

// Real windows, real time: the real clock, SDL windows and message boxes,
// the host's system facts. On failure (no SDL2 in this build, or no display
// to open) returns a platform without a display and says why in `error`.
Platform make_interactive_platform(const std::string& title_dir, std::string& error);

}  // namespace nv::platform
