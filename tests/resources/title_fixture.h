// A title folder in a temporary directory with a headless engine over it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/engine.h"
#include "platform/encoding.h"
#include "platform/headless/platform_headless.h"
#include "platform/platform.h"
#include "runtime/error_report.h"
#include "runtime/error_texts.h"
#include "tests/support/temp_dir.h"

namespace nv::test {

class TitleFixture {
 public:
  TitleFixture() { reset_engine(); }

  // A fresh engine over the same folder (only the first report of an
  // engine is shown).
  void reset_engine() {
    engine_.reset();
    platform::HeadlessOptions o;
    o.title_dir = dir_.str();
    host_ = std::make_unique<platform::Platform>(platform::make_headless_platform(o));
    engine_ = std::make_unique<Engine>(*host_);
  }

  Engine& e() { return *engine_; }
  const TempDir& dir() const { return dir_; }
  void write(const std::string& rel_utf8, const std::string& bytes) const { dir_.write(rel_utf8, bytes); }

  // Error dialogs shown so far, as UTF-8.
  std::vector<std::string> errors() {
    std::vector<std::string> out;
    for (const auto& d : platform::headless_dialogs(*host_)->shown())
      if (d.is_error) out.push_back(platform::sjis_to_utf8(d.text));
    return out;
  }

  // The text a report of `code` with `args` shows, as UTF-8.
  static std::string message(uint32_t code, std::vector<ErrorArg> args) {
    return platform::sjis_to_utf8(format_message(platform::utf8_to_sjis(builtin_error_text(code)), args));
  }

 private:
  TempDir dir_;
  std::unique_ptr<platform::Platform> host_;
  std::unique_ptr<Engine> engine_;
};

}  // namespace nv::test
