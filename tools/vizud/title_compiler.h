// Compiling a whole title: every script of the project, the variable and
// label tables, the configuration, the command and error tables. The result
// is held in memory (CompiledTitle) so that tests and other tools can look
// at it or write it out.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tools/vizud/diagnostics.h"
#include "tools/vizud/script_ir.h"
#include "tools/vizud/title_config.h"
#include "tools/vizud/variables.h"
#include "tools/writers/command_table_writer.h"
#include "tools/writers/error_table_writer.h"

namespace nv::vizud {

// The sources of a title as read from its folder (or given by a test).
struct ProjectInput {
  struct File {
    std::string path;   // project-relative, '/' separated, UTF-8
    std::string bytes;  // raw file contents (UTF-8 or Shift-JIS)
  };
  std::vector<File> scripts;  // in script-number order
  std::vector<File> includes; // *.nvi: files INCLUDE reads
  bool has_config = false;
  File config;                // title.cfg
  bool has_commands = false;
  File commands;              // commands.txt
  bool has_errors = false;
  File errors;                // errors.txt
};

struct CompiledTitle {
  TitleConfig config;
  writers::CommandTableModel commands;
  std::vector<writers::ErrorEntry> errors;
  SymbolTable symbols;
  std::vector<CompiledScript> scripts;
  std::vector<LabelDef> labels;  // in definition order
};

constexpr const char* kEntryLabel = "SYSTEM_START";
constexpr const char* kScriptExtension = ".nvs";
constexpr const char* kIncludeExtension = ".nvi";

// Reads the project folder: every *.nvs (and *.nvi) below it (sorted by path, nvbin/ and
// hidden folders skipped) and the optional title.cfg, commands.txt, errors.txt.
bool load_project(const std::filesystem::path& dir, ProjectInput& out, Diagnostics& diag);

// Compiles everything; false when any error was reported.
bool compile_title(const ProjectInput& in, CompiledTitle& out, Diagnostics& diag);

}  // namespace nv::vizud
