#include "tests/support/title_run.h"

#include <fstream>
#include <iterator>

#include "host/startup.h"
#include "host/window_events.h"
#include "platform/encoding.h"
#include "host/main_loop.h"
#include "platform/headless/platform_headless.h"
#include "tools/vizud/title_output.h"

namespace nv::test {

namespace {
const char* const kDefaultConfig = "width = 640\nheight = 480\n";
}

TitleRun::TitleRun(std::vector<std::pair<std::string, std::string>> scripts, TitleOptions options)
    : options_(std::move(options)) {
  vizud::ProjectInput in;
  for (auto& [path, text] : scripts) in.scripts.push_back({path, text});
  if (!in.scripts.empty() && in.scripts[0].bytes.find("*SYSTEM_START") == std::string::npos)
    in.scripts[0].bytes = "*SYSTEM_START\n" + in.scripts[0].bytes;
  in.has_config = true;
  in.config = {"title.cfg", options_.config.empty() ? kDefaultConfig : options_.config};
  vizud::Diagnostics diag;
  compiled_ = vizud::compile_title(in, title_, diag) && vizud::write_compiled_title(dir_.path(), title_, diag);
  messages_ = diag.format();
}

bool TitleRun::start() {
  if (started_) return start_ok_;
  started_ = true;
  if (!compiled_) return false;
  host_ = platform::make_headless_platform(
      {.title_dir = dir_.str(), .answer = options_.answer, .err = &err_, .desktop = options_.desktop});
  engine_ = std::make_unique<Engine>(host_);
  start_ok_ = start_engine(*engine_, "/nonexistent/nivalo").ok;
  return start_ok_;
}

int TitleRun::run(int frames) {
  if (!start()) return 0;
  if (frames <= 0 || engine_->stop.load()) return 0;
  MainLoopOptions loop;
  loop.max_frames = frames;
  int n = static_cast<int>(run_main_loop(*engine_, loop));
  frames_ += n;
  return n;
}

int TitleRun::var_number(const std::string& name) const {
  std::string sjis = platform::utf8_to_sjis(name);
  const vizud::VarInfo* v = title_.symbols.find(0, sjis);
  return v ? v->number : -1;
}

Variable* TitleRun::find_var(const std::string& name) {
  int n = var_number(name);
  return engine_ && n >= 0 ? engine_->vars.find(static_cast<uint32_t>(n)) : nullptr;
}

int64_t TitleRun::int_var(const std::string& name, int64_t element) {
  Variable* v = find_var(name);
  return v ? read_int(*v, element) : 0;
}

double TitleRun::float_var(const std::string& name, int64_t element) {
  Variable* v = find_var(name);
  return v ? read_float(*v, element) : 0.0;
}

std::string TitleRun::text_var(const std::string& name, int64_t element) {
  Variable* v = find_var(name);
  return v ? platform::sjis_to_utf8(read_text(*v, element)) : std::string();
}

size_t TitleRun::dialog_count() {
  platform::HeadlessDialogs* d = engine_ ? platform::headless_dialogs(host_) : nullptr;
  return d ? d->shown().size() : 0;
}

std::string TitleRun::first_error() {
  platform::HeadlessDialogs* d = engine_ ? platform::headless_dialogs(host_) : nullptr;
  if (!d) return {};
  for (const auto& s : d->shown())
    if (s.is_error) return platform::sjis_to_utf8(s.text);
  return {};
}

std::string TitleRun::log() const {
  std::ifstream f(dir_.path() / "info.txt", std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  return platform::sjis_to_utf8(bytes);
}

}  // namespace nv::test
