#include "tests/support/title_run.h"

#include <fstream>
#include <iterator>

#include "display/window_events.h"
#include "host/main_loop.h"
#include "host/startup.h"
#include "platform/encoding.h"
#include "tools/vizud/title_output.h"

namespace nv::test {

namespace {
const char* const kDefaultConfig = "width = 640\nheight = 480\n";
}

TitleRun::TitleRun(std::vector<std::pair<std::string, std::string>> scripts, TitleOptions options)
    : t_({.desktop = options.desktop, .answer = options.answer}) {
  vizud::ProjectInput in;
  for (auto& [path, text] : scripts) in.scripts.push_back({path, text});
  if (!in.scripts.empty() && in.scripts[0].bytes.find("*SYSTEM_START") == std::string::npos)
    in.scripts[0].bytes = "*SYSTEM_START\n" + in.scripts[0].bytes;
  in.has_config = true;
  in.config = {"title.cfg", options.config.empty() ? kDefaultConfig : options.config};
  vizud::Diagnostics diag;
  compiled_ = vizud::compile_title(in, title_, diag) && vizud::write_compiled_title(dir(), title_, diag);
  messages_ = diag.format();
}

bool TitleRun::start() {
  if (started_) return start_ok_;
  started_ = true;
  if (!compiled_) return false;
  start_ok_ = start_engine(engine(), "/nonexistent/nivalo").ok;
  return start_ok_;
}

int TitleRun::run(int frames) {
  if (!start()) return 0;
  if (frames <= 0 || engine().stop.load()) return 0;
  MainLoopOptions loop;
  loop.max_frames = frames;
  int n = static_cast<int>(run_main_loop(engine(), loop));
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
  return n >= 0 ? engine().vars.find(static_cast<uint32_t>(n)) : nullptr;
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

size_t TitleRun::dialog_count() { return t_.dialogs().size(); }

std::string TitleRun::first_error() {
  std::vector<std::string> errors = t_.errors();
  return errors.empty() ? std::string() : errors.front();
}

std::string TitleRun::log() const {
  std::ifstream f(dir() / "info.txt", std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  return platform::sjis_to_utf8(bytes);
}

}  // namespace nv::test
