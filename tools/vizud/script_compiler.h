// Compiles one script source into instructions: statements, structured
// control flow lowered to jump records, declarations, message text.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "tools/vizud/command_table.h"
#include "tools/vizud/diagnostics.h"
#include "tools/vizud/script_ir.h"
#include "tools/vizud/source_file.h"
#include "tools/vizud/title_config.h"
#include "tools/vizud/variables.h"

namespace nv::vizud {

// A checked label reference (*name) to be resolved against all labels.
struct LabelUse {
  std::string name;  // Shift-JIS
  std::string file;
  SourcePos pos;
};

struct ProjectContext {
  const CommandTable& commands;
  SymbolTable& symbols;
  Diagnostics& diag;
  std::vector<LabelDef>& labels;
  std::vector<LabelUse>& label_uses;
  // Files INCLUDE can read, by project-relative path with '/' separators.
  const std::map<std::string, SourceFile>& includes;
  // Included files whose globals the first pass has declared already.
  std::set<std::string>& included_globals;
  TitleConfig& config;       // PRODUCT changes it
  bool product_seen = false;
};

// First pass over a script: declares its global variables (G_INT, G_FLT,
// G_STR), which every script may use.
void declare_globals(const SourceFile& src, int script, ProjectContext& ctx);

// Second pass: compiles the whole script.
CompiledScript compile_script(const SourceFile& src, int script, std::string list_name, ProjectContext& ctx);

}  // namespace nv::vizud
