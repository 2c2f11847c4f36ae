#include "tools/writers/title_writer.h"

#include <algorithm>
#include <cstdio>

#include "tools/writers/file_output.h"
#include "tools/writers/script_index_writer.h"
#include "tools/writers/write_error.h"

namespace nv::writers {

ScriptModel& TitleModel::add_script(std::string source_path) {
  scripts.push_back({std::move(source_path), {}, {}});
  return scripts.back();
}

std::string script_file_name(uint32_t script) {
  char name[32];
  std::snprintf(name, sizeof name, "nvt%05u.nbn", script);
  return name;
}

std::map<std::string, Bytes> encode_title(const TitleModel& t) {
  if (t.scripts.size() > 65536) throw WriteError("more than 65536 scripts");
  for (const LabelModel& l : t.labels) {
    if (l.script >= t.scripts.size())
      throw WriteError("label " + l.name + " names script " + std::to_string(l.script) + ", which does not exist");
    if (l.instruction < 0 || static_cast<uint32_t>(l.instruction) > t.scripts[l.script].code.instruction_count())
      throw WriteError("label " + l.name + " points outside its script");
  }
  uint32_t highest = kSystemVariableCount - 1;
  for (const VariableModel& v : t.variables) {
    highest = std::max<uint32_t>(highest, v.number);
    if (v.scope == kScopeScript && v.script >= t.scripts.size())
      throw WriteError("variable " + std::to_string(v.number) + " belongs to a script that does not exist");
  }
  uint32_t n = t.variable_count ? t.variable_count : highest;
  if (n < highest) throw WriteError("variable_count is below the highest variable number");

  std::map<std::string, Bytes> files;
  files["nve.nbn"] = encode_error_table(t.errors ? *t.errors : shipped_error_table());
  files["nvc.nbn"] = encode_command_table(t.commands ? *t.commands : builtin_command_table());
  files["nvt.nbn"] =
      encode_script_index(n, t.second_count.value_or(static_cast<uint32_t>(t.variables.size())));
  std::vector<ScriptListEntry> list;
  list.reserve(t.scripts.size());
  ScriptKey key = script_key();
  for (size_t i = 0; i < t.scripts.size(); ++i) {
    const ScriptModel& s = t.scripts[i];
    CompilerData data = s.compiler_data;
    if (data == CompilerData{}) data = make_compiler_data(0, s.code.instruction_count(), s.code.highest_line());
    list.push_back({s.source_path, data});
    files[script_file_name(static_cast<uint32_t>(i))] = s.code.encode(key);
  }
  files["nvt_list.nbn"] = encode_script_list(list);
  files["nvl.nbn"] = encode_label_table(t.labels);
  files["nvv.nbn"] = encode_variable_table(t.variables);
  files["nvcfg.nbn"] = encode_config(t.config);
  return files;
}

void write_title(const std::filesystem::path& title_dir, const TitleModel& title) {
  auto files = encode_title(title);  // everything is encoded before anything is written
  std::filesystem::path dir = title_dir / "nvbin";
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec) throw WriteError("cannot create " + dir.string() + ": " + ec.message());
  for (const auto& [name, bytes] : files) write_file_atomic(dir / name, bytes);
}

}  // namespace nv::writers
