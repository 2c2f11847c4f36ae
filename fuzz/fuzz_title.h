// The small valid title the table and evaluator fuzz targets start from:
// one script, a label, an integer array 1000 (4 elements), a text 1001 and
// a float 1002; and the engine loading of its files, any of which a target
// may replace with its input.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "host/engine.h"
#include "platform/headless/platform_headless.h"
#include "platform/platform.h"
#include "runtime/fetch.h"
#include "runtime/error_table.h"
#include "runtime/script_tables.h"
#include "tools/writers/title_writer.h"
#include "values/variable_file.h"

namespace nv::fuzz {

inline std::map<std::string, Bytes> base_title() {
  namespace w = nv::writers;
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
  w::VariableModel c;
  c.number = 1002;
  c.type = w::vartype::kFloat;
  c.float_value = 0.5;
  m.variables.push_back(c);
  return w::encode_title(m);
}

// The headless host the targets' engines run on (no title folder).
inline platform::Platform headless_host() {
  platform::HeadlessOptions o;
  o.title_dir = "/nonexistent";
  return platform::make_headless_platform(o);
}

// The engine files in loading order.
inline const char* const kTitleFiles[] = {"nve.nbn", "nvc.nbn", "nvt.nbn", "nvt_list.nbn",
                                          "nvv.nbn", "nvl.nbn", "nvt00000.nbn"};

// Loads the title's files into `e` in the engine's order, `replaced` taking
// the place of the file called `replaced_name` (none when empty). Returns
// false at the first file the engine refuses.
inline bool load_title(Engine& e, const std::map<std::string, Bytes>& base, const std::string& replaced_name,
                       const std::vector<uint8_t>& replaced) {
  auto file = [&](const char* name) { return replaced_name == name ? replaced : base.at(name); };
  return parse_error_table(e, file("nve.nbn")) == 0 && parse_command_table(e, file("nvc.nbn")) == 0 &&
         parse_script_index(e, file("nvt.nbn")) == 0 && parse_script_list(e, file("nvt_list.nbn")) == 0 &&
         install_variable_file(e, file("nvv.nbn")) == 0 && parse_label_table(e, file("nvl.nbn")) == 0 &&
         install_script(e, 0, file("nvt00000.nbn")) == 0;
}

// Runs the task's instructions like run_task, but at most `budget` of them:
// a script (or a jump the input changed) may loop for ever.
inline void run_instructions(Engine& e, Task& t, int budget) {
  DispatchState& d = e.dispatch;
  d.task = &t;
  for (int n = 0; n < budget && !e.stop.load(); ++n) {
    const int command = fetch(e, d, t);
    if (command < 0 || run_fetched(e, d, t, command) != 0) return;
  }
}

}  // namespace nv::fuzz
