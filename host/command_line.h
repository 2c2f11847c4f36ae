// The engine's command line: `nivalo [OPTIONS] [TITLE_DIR]`.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/headless/dialogs_headless.h"

namespace nv {

enum class FirstArgument { none, nvcfg, info };

struct LaunchOptions {
  bool headless = false;
  int64_t frames = -1;      // stop after this many frame steps; -1 runs until END
  std::string snapshot;     // PNG of the main window's last presented canvas
  platform::AnswerPolicy answer = platform::AnswerPolicy::default_button;
  std::string input;        // scripted input file ("" none)
  std::string title_dir;    // empty: the current directory (or the executable with a pack)
  FirstArgument first = FirstArgument::none;
  bool show_help = false;
  bool show_version = false;
  std::vector<std::string> args;  // every argument as given, for restart and the scripts
};

// Parses argv (without the program name). Returns an empty string, or a
// message for the user naming what is wrong.
std::string parse_command_line(const std::vector<std::string>& argv, LaunchOptions& out);

extern const char* const kUsageText;

}  // namespace nv
