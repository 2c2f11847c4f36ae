#include "tools/vizud/title_compiler.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <unordered_map>

#include "platform/encoding.h"
#include "tools/vizud/command_table.h"
#include "tools/vizud/script_compiler.h"
#include "tools/vizud/source_file.h"

namespace nv::vizud {

namespace {

bool read_all(const std::filesystem::path& p, std::string& out) {
  std::ifstream in(p, std::ios::binary);
  if (!in) return false;
  out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// "code text" lines; "\n" and "\\" in the text stand for a line feed and a
// backslash. Entries replace the shipped text of their code or add one.
bool parse_error_table(const SourceFile& src, std::vector<writers::ErrorEntry>& table, Diagnostics& diag) {
  bool ok = true;
  std::unordered_map<uint32_t, size_t> index;
  for (size_t i = 0; i < table.size(); ++i) index[table[i].code] = i;
  for (size_t n = 0; n < src.lines.size(); ++n) {
    const std::string& line = src.lines[n];
    size_t a = line.find_first_not_of(" \t");
    if (a == std::string::npos || line[a] == '#') continue;
    size_t b = a;
    while (b < line.size() && line[b] >= '0' && line[b] <= '9') ++b;
    SourcePos pos{static_cast<int>(n + 1), static_cast<int>(a + 1)};
    if (b == a || b - a > 9 || (b < line.size() && line[b] != ' ' && line[b] != '\t')) {
      diag.error(src.display_name, pos, "\"code text\" expected: " + quote_sjis(line));
      ok = false;
      continue;
    }
    uint32_t code = static_cast<uint32_t>(std::stoul(line.substr(a, b - a)));
    size_t t = line.find_first_not_of(" \t", b);
    std::string text;
    for (size_t i = (t == std::string::npos ? line.size() : t); i < line.size(); ++i) {
      auto c = static_cast<uint8_t>(line[i]);
      if (((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) && i + 1 < line.size()) {
        text.append(line, i, 2);
        ++i;
      } else if (c == '\\' && i + 1 < line.size() && (line[i + 1] == 'n' || line[i + 1] == '\\')) {
        text += line[i + 1] == 'n' ? '\n' : '\\';
        ++i;
      } else {
        text += static_cast<char>(c);
      }
    }
    auto it = index.find(code);
    if (it != index.end()) table[it->second].text = text;
    else {
      index[code] = table.size();
      table.push_back(writers::ErrorEntry{code, text});
    }
  }
  if (table.size() > 256) {
    diag.error(src.display_name, {}, "an error table holds at most 256 messages");
    ok = false;
  }
  return ok;
}

}  // namespace

bool load_project(const std::filesystem::path& dir, ProjectInput& out, Diagnostics& diag) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (!fs::is_directory(dir, ec)) {
    diag.error(dir.string(), {}, "project folder not found");
    return false;
  }
  std::vector<fs::path> found;
  for (auto it = fs::recursive_directory_iterator(dir, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (it->is_directory(ec)) {
      if (name.empty() || name[0] == '.' || lower(name) == "nvbin" || name.rfind("nvbin.", 0) == 0)
        it.disable_recursion_pending();
      continue;
    }
    std::string ext = lower(it->path().extension().string());
    if ((ext == kScriptExtension || ext == kIncludeExtension) && it->is_regular_file(ec))
      found.push_back(fs::relative(it->path(), dir, ec));
  }
  if (ec) {
    diag.error(dir.string(), {}, "cannot list the project folder: " + ec.message());
    return false;
  }
  std::sort(found.begin(), found.end(),
            [](const fs::path& a, const fs::path& b) { return a.generic_string() < b.generic_string(); });
  bool ok = true;
  for (const fs::path& rel : found) {
    ProjectInput::File f;
    f.path = rel.generic_string();
    if (!read_all(dir / rel, f.bytes)) {
      diag.error(f.path, {}, "cannot read the file");
      ok = false;
      continue;
    }
    if (lower(rel.extension().string()) == kIncludeExtension) out.includes.push_back(std::move(f));
    else out.scripts.push_back(std::move(f));
  }
  auto optional_file = [&](const char* name, bool& has, ProjectInput::File& f) {
    fs::path p = dir / name;
    if (!fs::exists(p, ec)) return;
    f.path = name;
    if (!read_all(p, f.bytes)) {
      diag.error(name, {}, "cannot read the file");
      ok = false;
      return;
    }
    has = true;
  };
  optional_file("title.cfg", out.has_config, out.config);
  optional_file("commands.txt", out.has_commands, out.commands);
  optional_file("errors.txt", out.has_errors, out.errors);
  return ok;
}

bool compile_title(const ProjectInput& in, CompiledTitle& out, Diagnostics& diag) {
  out = CompiledTitle{};
  if (in.has_config) {
    SourceFile cfg = decode_source(in.config.path, in.config.bytes, diag);
    parse_title_config(cfg.lines, cfg.display_name, out.config, diag);
  }
  out.commands = writers::builtin_command_table();
  if (in.has_commands) {
    SourceFile cmds = decode_source(in.commands.path, in.commands.bytes, diag);
    writers::CommandTableModel model;
    if (parse_command_table(cmds.lines, cmds.display_name, model, diag)) out.commands = std::move(model);
  }
  out.errors = writers::shipped_error_table();
  if (in.has_errors) {
    SourceFile errs = decode_source(in.errors.path, in.errors.bytes, diag);
    parse_error_table(errs, out.errors, diag);
  }
  if (in.scripts.empty()) {
    diag.error("(project)", {}, std::string("no script sources (*") + kScriptExtension + ") found");
    return false;
  }
  if (in.scripts.size() > 65535) {
    diag.error("(project)", {}, "more than 65535 scripts");
    return false;
  }

  CommandTable commands(out.commands);
  std::vector<LabelUse> uses;
  std::map<std::string, SourceFile> includes;
  for (const auto& f : in.includes) includes.emplace(f.path, decode_source(f.path, f.bytes, diag));
  std::set<std::string> included_globals;
  ProjectContext ctx{commands, out.symbols, diag, out.labels, uses, includes, included_globals, out.config};
  std::vector<SourceFile> sources;
  sources.reserve(in.scripts.size());
  for (const auto& f : in.scripts) sources.push_back(decode_source(f.path, f.bytes, diag));
  for (size_t s = 0; s < sources.size() && !diag.full(); ++s) declare_globals(sources[s], static_cast<int>(s), ctx);
  out.scripts.reserve(sources.size());
  for (size_t s = 0; s < sources.size() && !diag.full(); ++s) {
    std::string list_name = platform::utf8_to_sjis(in.scripts[s].path);
    std::replace(list_name.begin(), list_name.end(), '/', '\\');
    out.scripts.push_back(compile_script(sources[s], static_cast<int>(s), std::move(list_name), ctx));
    sources[s].lines = {};  // the text is no longer needed
  }

  // Labels are project-wide: unique names, every *name reference defined.
  std::unordered_map<std::string, size_t> by_name;
  by_name.reserve(out.labels.size());
  for (size_t i = 0; i < out.labels.size(); ++i) {
    const LabelDef& d = out.labels[i];
    auto [it, fresh] = by_name.emplace(d.name, i);
    if (!fresh) {
      const LabelDef& first = out.labels[it->second];
      diag.error(d.file, d.pos,
                 "label *" + platform::sjis_to_utf8(d.name) + " is already defined at " + first.file + ":" +
                     std::to_string(first.pos.line));
    }
  }
  for (const LabelUse& u : uses)
    if (!by_name.count(u.name))
      diag.error(u.file, u.pos, "unknown label: \"*" + platform::sjis_to_utf8(u.name) + "\"");
  if (!by_name.count(kEntryLabel))
    diag.error("(project)", {}, std::string("no label *") + kEntryLabel + ": the title has no entry point");
  const TitleConfig& c = out.config;
  if (ctx.product_seen && !(c.width == 0 && c.height == 0) &&
      (c.width < 128 || c.width > 2048 || c.height < 16 || c.height > 2048))
    diag.error("(project)", {}, "PRODUCT screen size " + std::to_string(c.width) + "x" + std::to_string(c.height) +
                                    " is outside 128x16 to 2048x2048 (0x0 means the desktop size)");
  size_t user_records = 0;
  for (const VarInfo& v : out.symbols.all())
    if (v.scope == Scope::kGlobal || v.scope == Scope::kScript) ++user_records;
  if (kFirstUserVariable + user_records > 65535)
    diag.error("(project)", {}, "more than 64535 global and script variables");
  return !diag.has_errors();
}

}  // namespace nv::vizud
