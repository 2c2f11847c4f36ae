#include "tools/vizud/command_table.h"

#include <sstream>

#include "platform/encoding.h"

namespace nv::vizud {

CommandTable::CommandTable(writers::CommandTableModel model) : model_(std::move(model)) {
  keywords_.resize(model_.commands.size());
  for (size_t n = 0; n < model_.commands.size(); ++n) {
    const auto& c = model_.commands[n];
    by_name_.emplace(c.name, static_cast<int>(n));
    for (size_t k = 0; k < c.keywords.size(); ++k)
      keywords_[n].emplace(c.keywords[k].name, static_cast<int>(k));
  }
}

int CommandTable::find(std::string_view name) const {
  auto it = by_name_.find(std::string(name));
  return it == by_name_.end() ? -1 : it->second;
}

int CommandTable::keyword(int number, std::string_view keyword) const {
  if (number < 0 || number >= size()) return -1;
  const auto& m = keywords_[static_cast<size_t>(number)];
  auto it = m.find(std::string(keyword));
  return it == m.end() ? -1 : it->second;
}

bool parse_command_table(const std::vector<std::string>& lines, const std::string& file,
                         writers::CommandTableModel& out, Diagnostics& diag) {
  writers::CommandTableModel builtin = writers::builtin_command_table();
  out = writers::CommandTableModel{};
  out.errno_texts = builtin.errno_texts;
  out.key_table = builtin.key_table;
  bool ok = true;
  for (size_t n = 0; n < lines.size(); ++n) {
    std::istringstream in(lines[n]);
    std::string name;
    if (!(in >> name) || name[0] == '#') continue;
    SourcePos pos{static_cast<int>(n + 1), 1};
    writers::CommandModel cmd;
    cmd.name = name;
    std::string item;
    while (in >> item) {
      size_t a = item.find(':');
      size_t b = a == std::string::npos ? a : item.find(':', a + 1);
      if (b == std::string::npos) {
        diag.error(file, pos, "keyword " + quote_sjis(item) + " is not KEYWORD:TYPE:CHECK");
        ok = false;
        continue;
      }
      writers::KeywordModel kw;
      kw.name = item.substr(0, a);
      if (kw.name == "-") kw.name.clear();
      std::string type = item.substr(a + 1, b - a - 1), check = item.substr(b + 1);
      if (type == "INT" || type == "0") kw.type = argtype::INT;
      else if (type == "STR" || type == "1") kw.type = argtype::STR;
      else if (type == "EXPR" || type == "2") kw.type = argtype::EXPR;
      else if (type == "RAW" || type == "3") kw.type = argtype::RAW;
      else {
        diag.error(file, pos, "unknown argument type " + quote_sjis(type) + " (INT, STR, EXPR or RAW)");
        ok = false;
      }
      char* end = nullptr;
      long c = std::strtol(check.c_str(), &end, 10);
      if (check.empty() || *end != 0 || c < 0 || c >= check::kCount) {
        diag.error(file, pos, "check code " + quote_sjis(check) + " is not 0 to 26");
        ok = false;
      }
      kw.check = static_cast<uint8_t>(c);
      cmd.keywords.push_back(std::move(kw));
    }
    if (cmd.keywords.size() > 95) {
      diag.error(file, pos, "command " + quote_sjis(name) + " has more than 95 keywords");
      ok = false;
    }
    out.commands.push_back(std::move(cmd));
  }
  if (out.commands.empty() || out.commands.size() > 100) {
    diag.error(file, {}, "a command table holds 1 to 100 commands");
    ok = false;
  }
  return ok;
}

}  // namespace nv::vizud
