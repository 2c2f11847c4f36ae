// Feeds arbitrary bytes to the engine as one of its tables or as a compiled
// script, the other files coming from a small valid title, then runs the
// script's instructions. The first input byte picks the file.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "host/engine.h"
#include "platform/headless/platform_headless.h"
#include "platform/platform.h"
#include "runtime/dispatch.h"
#include "runtime/error_table.h"
#include "runtime/script_tables.h"
#include "tools/writers/title_writer.h"
#include "values/variable_file.h"

namespace {

namespace w = nv::writers;

std::map<std::string, nv::Bytes> base_title() {
  w::TitleModel m;
  w::ScriptModel& s = m.add_script("main.txt");
  s.code.instruction(nv::cmd::LABEL, 1);
  s.code.instruction(nv::cmd::CDDA, 2);
  s.code.arg(nv::kw::CDDA::TRACK, w::Expr().element(1000).push_int(1).close(), w::selector::kInt);
  s.code.arg(nv::kw::CDDA::PLAY, w::Expr::integer(1), w::selector::kInt);
  s.code.instruction(nv::cmd::PLUG, 3);
  s.code.arg(nv::kw::PLUG::FILE, w::Expr::text("a").append(w::Expr::var(1001)).op(nv::expr::kAdd),
             w::selector::kString);
  s.code.arg(nv::kw::PLUG::SET, w::Expr::real(2.5).push_int(3).op(nv::expr::kMul), w::selector::kFloat);
  s.code.instruction(nv::cmd::GO, 4);
  s.code.arg(nv::kw::GO::TARGET, w::Expr::text("START"), w::selector::kString);
  s.code.instruction(nv::cmd::ERROR_, 5);
  s.code.arg(nv::kw::ERROR_::COM_CG, w::Expr::integer(0), w::selector::kInt);
  m.labels.push_back({"START", 0, 1});
  w::VariableModel a;
  a.number = 1000;
  a.dims = {4};
  a.int_value = 3;
  m.variables.push_back(a);
  w::VariableModel b;
  b.number = 1001;
  b.type = w::vartype::kString;
  b.string_value = w::Expr::text("b");
  m.variables.push_back(b);
  return w::encode_title(m);
}

const char* const kFiles[] = {"nve.nbn", "nvc.nbn", "nvt.nbn", "nvt_list.nbn", "nvv.nbn", "nvl.nbn", "nvt00000.nbn"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static const std::map<std::string, nv::Bytes> base = base_title();
  const std::string fuzzed = kFiles[data[0] % std::size(kFiles)];
  auto file = [&](const char* name) {
    return fuzzed == name ? std::vector<uint8_t>(data + 1, data + size) : base.at(name);
  };

  nv::platform::HeadlessOptions o;
  o.title_dir = "/nonexistent";
  nv::platform::Platform host = nv::platform::make_headless_platform(o);
  nv::Engine e(host);
  if (nv::parse_error_table(e, file("nve.nbn")) != 0) return 0;
  if (nv::parse_command_table(e, file("nvc.nbn")) != 0) return 0;
  if (nv::parse_script_index(e, file("nvt.nbn")) != 0) return 0;
  if (nv::parse_script_list(e, file("nvt_list.nbn")) != 0) return 0;
  if (nv::install_variable_file(e, file("nvv.nbn")) != 0) return 0;
  if (nv::parse_label_table(e, file("nvl.nbn")) != 0) return 0;
  if (nv::install_script(e, 0, file("nvt00000.nbn")) != 0) return 0;
  const nv::ScriptImage& img = e.scripts.images[0];
  if (!img.valid) return 0;
  // Nothing jumps yet, so the run ends at the first failing instruction or
  // at the end of the script.
  nv::Task task;
  task.script = 0;
  task.image = &img;
  e.stop.store(false);
  nv::run_task(e, task);
  return 0;
}
