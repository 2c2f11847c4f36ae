// Helpers for the compiler tests: compile inline sources in memory, find
// instructions, and show expression tokens as readable text.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "formats/command_table.h"
#include "tools/vizud/title_compiler.h"

namespace nv::test {

struct Compiled {
  bool ok = false;
  vizud::CompiledTitle title;
  vizud::Diagnostics diag;
  std::string messages() const { return diag.format(); }
};

// Compiles scripts given as (path, source) pairs; the first gets a
// *SYSTEM_START label in front unless it has one.
inline Compiled compile(std::vector<std::pair<std::string, std::string>> scripts, std::string config = "") {
  Compiled c;
  vizud::ProjectInput in;
  for (auto& [path, text] : scripts) in.scripts.push_back({path, text});
  if (!in.scripts.empty() && in.scripts[0].bytes.find("*SYSTEM_START") == std::string::npos)
    in.scripts[0].bytes = "*SYSTEM_START\n" + in.scripts[0].bytes;
  if (!config.empty()) {
    in.has_config = true;
    in.config = {"title.cfg", config};
  }
  c.ok = vizud::compile_title(in, c.title, c.diag);
  return c;
}
inline Compiled compile_one(const std::string& source) { return compile({{"main.nvs", source}}); }

// Instructions of script `s` whose command is `command`.
inline std::vector<const vizud::Instruction*> find_all(const Compiled& c, uint8_t command, size_t s = 0) {
  std::vector<const vizud::Instruction*> out;
  for (const auto& in : c.title.scripts.at(s).code)
    if (in.command == command) out.push_back(&in);
  return out;
}

// Expression tokens as text: "H1000 B2 + M'ab' s".
inline std::string show_tokens(const std::vector<uint8_t>& b) {
  std::string out;
  size_t p = 0;
  while (p + 3 <= b.size()) {
    char op = static_cast<char>(b[p]);
    size_t len = b[p + 1] | (b[p + 2] << 8);
    const uint8_t* d = b.data() + p + 3;
    if (p + 3 + len > b.size()) return out + " <truncated>";
    if (!out.empty()) out += ' ';
    switch (op) {
      case 'B': out += "B" + std::to_string(static_cast<int8_t>(d[0])); break;
      case 'W': { int16_t v; std::memcpy(&v, d, 2); out += "W" + std::to_string(v); break; }
      case 'I': { int32_t v; std::memcpy(&v, d, 4); out += "I" + std::to_string(v); break; }
      case 'L': { int64_t v; std::memcpy(&v, d, 8); out += "L" + std::to_string(v); break; }
      case 'F': { double v; std::memcpy(&v, d, 8); out += "F" + std::to_string(v); break; }
      case 'M': out += "M'" + std::string(reinterpret_cast<const char*>(d) + 1, len - 2) + "'"; break;
      case 'H': case 'V': case 'v': out += op + std::to_string(d[1] | (d[2] << 8)); break;
      default: out += op; if (len) out += "<payload>"; break;
    }
    p += 3 + len;
  }
  if (p != b.size()) out += " <trailing>";
  return out;
}

// The number of user variable `name` as seen from script 0.
inline int var(const Compiled& c, const std::string& name, int script = 0) {
  const vizud::VarInfo* v = c.title.symbols.find(script, name);
  return v ? v->number : -1;
}

}  // namespace nv::test
