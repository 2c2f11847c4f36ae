// The command table the compiler works with: the engine's built-in table or
// one the project carries (commands.txt), indexed by name for lookups.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "tools/vizud/diagnostics.h"
#include "tools/writers/command_table_writer.h"

namespace nv::vizud {

class CommandTable {
 public:
  explicit CommandTable(writers::CommandTableModel model);

  // Command number of `name` (exact spelling), or -1.
  int find(std::string_view name) const;
  // Keyword index of `keyword` in command `number`, or -1.
  int keyword(int number, std::string_view keyword) const;
  const writers::CommandModel& command(int number) const { return model_.commands[static_cast<size_t>(number)]; }
  int size() const { return static_cast<int>(model_.commands.size()); }
  const writers::CommandTableModel& model() const { return model_; }

 private:
  writers::CommandTableModel model_;
  std::unordered_map<std::string, int> by_name_;
  std::vector<std::unordered_map<std::string, int>> keywords_;
};

// Reads a project's command table text: one command per line in command
// number order, "NAME KEYWORD:TYPE:CHECK ...", TYPE one of INT STR EXPR RAW
// (or 0-3), CHECK 0-26; "-" stands for an empty keyword; '#' starts a comment
// line. Errno texts and the key table are the built-in ones.
bool parse_command_table(const std::vector<std::string>& lines, const std::string& file,
                         writers::CommandTableModel& out, Diagnostics& diag);

}  // namespace nv::vizud
