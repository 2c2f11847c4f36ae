// A title written by the toolchain's writers into a temporary folder, and
// an engine that loads it.
#pragma once

#include <gtest/gtest.h>

#include "runtime/arg_eval.h"
#include "runtime/dispatch.h"
#include "runtime/engine_tables.h"
#include "runtime/script_tables.h"
#include "tests/support/engine_files.h"
#include "tests/support/test_engine.h"
#include "tools/writers/title_writer.h"

namespace nv::test {

namespace w = nv::writers;

inline w::VariableModel variable(uint8_t scope, uint16_t script, uint16_t number, uint8_t type, int64_t value = 0) {
  w::VariableModel v;
  v.scope = scope;
  v.script = script;
  v.number = number;
  v.type = type;
  v.int_value = value;
  return v;
}

class TitleTest : public EngineTest {
 protected:
  // Writes the model and loads the engine tables.
  int load() {
    w::write_title(t.dir.path(), m);
    return load_engine_tables(e());
  }
  void write_file(const std::string& name, const std::string& bytes) { write("nvbin/" + name, bytes); }
  void write_file(const std::string& name, const nv::Bytes& bytes) {
    t.write("nvbin/" + name, std::string(bytes.begin(), bytes.end()));
  }
  // Runs script 0 from its start.
  int run(Task& task) {
    EXPECT_EQ(start_task_at(e(), task, 0), 0);
    return run_task(e(), task);
  }

  w::TitleModel m;
};

}  // namespace nv::test
