// A whole compiled title in memory and the writer of its nvbin\ folder.
//
//   TitleModel t;
//   t.config.caption = "My title";
//   ScriptModel& s = t.add_script("main.txt");
//   s.code.instruction(cmd::LABEL, 1); ...
//   t.labels.push_back({"SYSTEM_START", 0, 0});
//   write_title("/path/to/title", t);   // writes title/nvbin/nv*.nbn
//
// Every text in the model is Shift-JIS. Files are written whole through a
// temporary file, so a failure leaves earlier versions intact.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "formats/byte_writer.h"
#include "tools/writers/command_table_writer.h"
#include "tools/writers/config_writer.h"
#include "tools/writers/error_table_writer.h"
#include "tools/writers/label_table_writer.h"
#include "tools/writers/script_list_writer.h"
#include "tools/writers/script_writer.h"
#include "tools/writers/variable_table_writer.h"

namespace nv::writers {

struct ScriptModel {
  std::string source_path;  // as it appears in error messages
  ScriptBuilder code;
  CompilerData compiler_data{};  // filled from the code when left zero
};

struct TitleModel {
  std::vector<ScriptModel> scripts;      // script number = position
  std::vector<LabelModel> labels;
  std::vector<VariableModel> variables;  // numbers 1000 and above
  ConfigModel config;
  // The highest variable number; 0 takes the highest number used (at least 999).
  uint32_t variable_count = 0;
  // The value scripts read as system variable 70; by default the number of
  // user variables.
  std::optional<uint32_t> second_count;
  // Defaults: the engine's own command table and the shipped error table.
  std::optional<CommandTableModel> commands;
  std::optional<std::vector<ErrorEntry>> errors;

  ScriptModel& add_script(std::string source_path);
};

// The engine files of a title by their names under nvbin\ ("nvc.nbn" ...).
std::map<std::string, Bytes> encode_title(const TitleModel& title);

// Writes encode_title() into `title_dir`/nvbin/, creating the folder.
void write_title(const std::filesystem::path& title_dir, const TitleModel& title);

// "nvt00042.nbn" for script 42.
std::string script_file_name(uint32_t script);

}  // namespace nv::writers
