#include "tests/support/test_engine.h"

#include "core/error_texts.h"
#include "platform/encoding.h"

namespace nv::test {

TestEngine::TestEngine(EngineOptions o) : options(o) { reset_engine(); }

void TestEngine::reset_engine() {
  e.reset();
  host = platform::make_headless_platform({.title_dir = dir.str(),
                                           .answer = options.answer,
                                           .err = &err,
                                           .start_time = options.start,
                                           .desktop = options.desktop});
  e = std::make_unique<Engine>(host);
}

std::vector<std::string> TestEngine::errors() {
  std::vector<std::string> out;
  for (const auto& d : dialogs())
    if (d.is_error) out.push_back(platform::sjis_to_utf8(d.text));
  return out;
}

std::string TestEngine::message(uint32_t code, std::vector<ErrorArg> args) {
  return platform::sjis_to_utf8(format_message(platform::utf8_to_sjis(builtin_error_text(code)), args));
}

}  // namespace nv::test
