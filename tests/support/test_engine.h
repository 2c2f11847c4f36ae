// An engine over a temporary title folder with the headless platform: the
// one harness the tests build on. TestEngine is the engine with its folder
// and platform; EngineTest is a gtest fixture holding one, with the usual
// questions at hand.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/error_report.h"
#include "host/engine.h"
#include "platform/headless/platform_headless.h"
#include "tests/support/temp_dir.h"

namespace nv::test {

struct EngineOptions {
  platform::LocalTime start{};  // the virtual clock's calendar start
  platform::DesktopSize desktop{1920, 1080};
  platform::AnswerPolicy answer = platform::AnswerPolicy::default_button;
};

struct TestEngine {
  explicit TestEngine(EngineOptions options = {});
  explicit TestEngine(platform::LocalTime start) : TestEngine(EngineOptions{.start = start}) {}

  // A fresh engine over the same folder (only the first report of an
  // engine is shown).
  void reset_engine();

  Engine& engine() { return *e; }
  void write(const std::string& rel_utf8, const std::string& bytes) const { dir.write(rel_utf8, bytes); }

  // What the dialogs showed: as recorded, "[caption] text" per line (UTF-8),
  // and the error dialogs' texts (UTF-8).
  const std::vector<platform::ShownDialog>& dialogs() { return platform::headless_dialogs(host)->shown(); }
  std::string dialog_text() const { return err.str(); }
  std::vector<std::string> errors();

  // The text a report of `code` with `args` shows, as UTF-8.
  static std::string message(uint32_t code, std::vector<ErrorArg> args);

  EngineOptions options;
  TempDir dir;
  std::ostringstream err;
  platform::Platform host;
  std::unique_ptr<Engine> e;
};

class EngineTest : public ::testing::Test {
 protected:
  explicit EngineTest(EngineOptions options = {}) : t(options) {}

  Engine& e() { return t.engine(); }
  const TempDir& dir() const { return t.dir; }
  void write(const std::string& rel_utf8, const std::string& bytes) const { t.write(rel_utf8, bytes); }
  void reset_engine() { t.reset_engine(); }
  std::vector<std::string> errors() { return t.errors(); }
  static std::string message(uint32_t code, std::vector<ErrorArg> args) { return TestEngine::message(code, args); }
  uint32_t last_code() { return e().errors.last_code; }
  uint32_t reports() { return e().errors.report_count; }
  const std::string& last_text() { return e().errors.last_text; }

  TestEngine t;
};

}  // namespace nv::test
