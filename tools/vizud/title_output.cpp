#include "tools/vizud/title_output.h"

#include <unordered_map>

#include "platform/process.h"
#include "tools/writers/file_output.h"
#include "tools/writers/write_error.h"

namespace nv::vizud {

namespace {

struct BytesHash {
  size_t operator()(const nv::Bytes& b) const {
    return std::hash<std::string_view>()(std::string_view(reinterpret_cast<const char*>(b.data()), b.size()));
  }
};

void add_script(writers::TitleModel& t, const CompiledScript& s) {
  writers::ScriptModel& m = t.add_script(s.name);
  // Equal expressions (constants, common variables) share one copy.
  std::unordered_map<nv::Bytes, uint32_t, BytesHash> shared;
  for (const Instruction& in : s.code) {
    m.code.instruction(in.command, in.line);
    for (const ArgRecord& a : in.args) {
      writers::ArgRecord r;
      r.keyword = a.keyword;
      r.spare = a.unused;
      r.selector = a.selector;
      r.assign = a.assign;
      r.size = a.size;
      r.offset = a.offset;
      if (a.has_data) {
        auto it = shared.find(a.data);
        if (it == shared.end()) it = shared.emplace(a.data, m.code.resource(a.data)).first;
        r.size = static_cast<uint32_t>(a.data.size());
        r.offset = it->second;
      }
      m.code.record(r);
    }
  }
  m.compiler_data = writers::make_compiler_data(0, static_cast<uint32_t>(s.code.size()),
                                                static_cast<uint32_t>(s.source_lines));
}

}  // namespace

writers::TitleModel to_title_model(const CompiledTitle& title) {
  writers::TitleModel t;
  for (const CompiledScript& s : title.scripts) add_script(t, s);
  for (const LabelDef& l : title.labels)
    t.labels.push_back(writers::LabelModel{l.name, static_cast<uint16_t>(l.script), l.index, l.if_depth, l.loop_depth});
  for (const VarInfo& v : title.symbols.all()) {
    if (v.scope != Scope::kGlobal && v.scope != Scope::kScript) continue;
    writers::VariableModel m;
    m.scope = v.scope == Scope::kGlobal ? writers::kScopeGlobal : writers::kScopeScript;
    m.script = static_cast<uint16_t>(v.scope == Scope::kScript ? v.script : 0);
    m.number = static_cast<uint16_t>(v.number);
    m.type = static_cast<uint8_t>(v.type);
    for (int k = 0; k < v.dims; ++k) m.dims.push_back(v.sizes[static_cast<size_t>(k)]);
    m.int_value = v.init_int;
    m.float_value = v.init_float;
    m.string_value = v.init_text_tokens;
    t.variables.push_back(std::move(m));
  }
  t.variable_count = static_cast<uint32_t>(title.symbols.highest_number());
  const TitleConfig& c = title.config;
  t.config.width = c.width;
  t.config.height = c.height;
  t.config.shown = c.shown;
  t.config.image_order = {c.image_order[0], c.image_order[1], c.image_order[2], c.image_order[3], 0, 0, 0, 0};
  t.config.sound_order = {c.sound_order[0], c.sound_order[1], 0, 0};
  t.config.script_thread = c.script_thread;
  t.config.debug = c.debug;
  t.config.sound = c.sound;
  t.config.resizable = c.resizable;
  t.config.frames = c.frame;
  t.config.caption = c.caption;
  t.commands = title.commands;
  t.errors = title.errors;
  return t;
}

bool write_compiled_title(const std::filesystem::path& project_dir, const CompiledTitle& title, Diagnostics& diag) {
  namespace fs = std::filesystem;
  std::map<std::string, nv::Bytes> files;
  try {
    files = writers::encode_title(to_title_model(title));
  } catch (const writers::WriteError& e) {
    diag.error("(project)", {}, std::string("cannot encode the title: ") + e.what());
    return false;
  }
  const std::string suffix = std::to_string(platform::process_id());
  fs::path final_dir = project_dir / "nvbin";
  fs::path temp_dir = project_dir / ("nvbin.new-" + suffix);
  fs::path old_dir = project_dir / ("nvbin.old-" + suffix);
  std::error_code ec;
  fs::remove_all(temp_dir, ec);
  fs::create_directories(temp_dir, ec);
  if (ec) {
    diag.error(temp_dir.string(), {}, "cannot create the folder: " + ec.message());
    return false;
  }
  try {
    for (const auto& [name, bytes] : files) writers::write_file_atomic(temp_dir / name, bytes);
  } catch (const writers::WriteError& e) {
    diag.error(temp_dir.string(), {}, e.what());
    fs::remove_all(temp_dir, ec);
    return false;
  }
  bool had_old = fs::exists(final_dir, ec);
  if (had_old) {
    fs::rename(final_dir, old_dir, ec);
    if (ec) {
      diag.error(final_dir.string(), {}, "cannot move the old folder aside: " + ec.message());
      fs::remove_all(temp_dir, ec);
      return false;
    }
  }
  fs::rename(temp_dir, final_dir, ec);
  if (ec) {
    diag.error(final_dir.string(), {}, "cannot put the new folder in place: " + ec.message());
    std::error_code ignored;
    if (had_old) fs::rename(old_dir, final_dir, ignored);
    fs::remove_all(temp_dir, ignored);
    return false;
  }
  if (had_old) fs::remove_all(old_dir, ec);
  return true;
}

}  // namespace nv::vizud
