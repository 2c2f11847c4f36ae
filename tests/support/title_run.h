// Title-level test harness: compiles a title from inline sources with the
// compiler library into a temporary folder, starts an engine on it with the
// headless platform and the virtual clock, runs frame steps, and gives the
// test what it needs to look at: variables by name, the task tree, the
// dialogs shown and the info.txt log.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "host/engine.h"
#include "tests/support/test_engine.h"
#include "tools/vizud/title_compiler.h"

namespace nv::test {

struct TitleOptions {
  std::string config;  // title.cfg text; empty: a 640 x 480 title
  platform::DesktopSize desktop{1024, 768};
  platform::AnswerPolicy answer = platform::AnswerPolicy::default_button;
};

class TitleRun {
 public:
  // Compiles `scripts` ((path, UTF-8 source) pairs; the first gets a
  // *SYSTEM_START label in front unless it has one) and writes the title.
  // ok() tells whether that worked; messages() says why not.
  explicit TitleRun(std::vector<std::pair<std::string, std::string>> scripts, TitleOptions options = {});
  explicit TitleRun(const std::string& source, TitleOptions options = {})
      : TitleRun(std::vector<std::pair<std::string, std::string>>{{"main.nvs", source}}, std::move(options)) {}

  bool ok() const { return compiled_; }
  const std::string& messages() const { return messages_; }

  // Starts the engine (once; run() does it too). False when start-up failed.
  bool start();
  // Runs the main loop until the engine stops or `frames` steps have run
  // (on the script thread when the title asks for it), delivering the
  // window events before each step; the frame step's pacing moves the
  // virtual clock (16 or 17 ms a frame at 60 fps). Returns the number of
  // steps run.
  int run(int frames = 1000);
  bool stopped() const { return t_.e->stop.load(); }
  int frames_run() const { return frames_; }

  Engine& engine() { return t_.engine(); }
  const std::filesystem::path& dir() const { return t_.dir.path(); }
  platform::Platform& host() { return t_.host; }

  // Variables by source name (global names, else script names of script 0).
  int var_number(const std::string& name) const;
  int64_t int_var(const std::string& name, int64_t element = 0);
  double float_var(const std::string& name, int64_t element = 0);
  std::string text_var(const std::string& name, int64_t element = 0);  // UTF-8

  // What the dialogs showed, "[caption] text" per line, UTF-8.
  std::string dialogs() const { return t_.dialog_text(); }
  size_t dialog_count();
  // The first report's text (UTF-8), empty when none was shown.
  std::string first_error();
  // info.txt as UTF-8; empty when it was never written.
  std::string log() const;

 private:
  Variable* find_var(const std::string& name);

  TestEngine t_;
  bool compiled_ = false;
  std::string messages_;
  vizud::CompiledTitle title_;
  bool started_ = false;
  bool start_ok_ = false;
  int frames_ = 0;
};

}  // namespace nv::test
