#include "runtime/script_pos.h"

#include "core/engine.h"
#include "core/error_report.h"
#include "formats/sjis_text.h"
#include "runtime/dispatch.h"
#include "runtime/script_tables.h"
#include "runtime/task.h"

namespace nv {

namespace {

constexpr size_t kMaxName = 262;

void put(std::string& out, uint64_t v, int letters) {
  for (int i = letters - 1; i >= 0; --i) out += static_cast<char>('a' + ((v >> (4 * i)) & 0xF));
}

struct Reader {
  std::string_view s;
  size_t pos = 0;
  bool ok = true;
  uint64_t get(int letters) {
    uint64_t v = 0;
    for (int i = 0; i < letters; ++i) {
      if (pos >= s.size() || s[pos] < 'a' || s[pos] > 'p') {
        ok = false;
        return 0;
      }
      v = (v << 4) | static_cast<uint64_t>(s[pos++] - 'a');
    }
    return v;
  }
  int8_t depth() {
    uint64_t d = get(2);
    if (d >= kStackLevels) ok = false;  // a depth the stacks cannot hold
    return static_cast<int8_t>(ok ? d : 0);
  }
  int32_t i32() { return static_cast<int32_t>(static_cast<uint32_t>(get(8))); }
};

bool same_name_ignoring_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (sjis::char_length_at(a, i) == 2) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
      continue;
    }
    auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

}  // namespace

std::string encode_script_pos(const Task& t, std::string_view script_name) {
  std::string out;
  for (char c = 1; c <= 8; ++c) out += c;
  put(out, static_cast<uint8_t>(t.if_depth), 2);
  for (int k = 0; k < t.if_depth; ++k) {
    const IfLevel& l = t.ifs[size_t(k)];
    put(out, static_cast<uint8_t>(l.saved_loop_depth), 2);
    put(out, static_cast<uint32_t>(l.if_index), 8);
    put(out, static_cast<uint32_t>(l.ifend_target), 8);
  }
  put(out, t.reserved, 2);
  put(out, static_cast<uint8_t>(t.gosub_depth), 2);
  for (int k = 0; k < t.gosub_depth; ++k) {
    const GosubLevel& l = t.gosubs[size_t(k)];
    put(out, static_cast<uint8_t>(l.saved_if_depth), 2);
    put(out, static_cast<uint8_t>(l.saved_loop_depth), 2);
    put(out, static_cast<uint32_t>(l.return_index), 8);
    out += "aaaa";
    put(out, l.return_script, 4);
  }
  put(out, static_cast<uint8_t>(t.loop_depth), 2);
  for (int k = 0; k < t.loop_depth; ++k) {
    const LoopLevel& l = t.loops[size_t(k)];
    put(out, static_cast<uint8_t>(l.saved_if_depth), 2);
    put(out, static_cast<uint32_t>(l.body_start), 8);
    put(out, static_cast<uint32_t>(l.loopend_index), 8);
    put(out, static_cast<uint32_t>(l.counter), 8);
    put(out, static_cast<uint32_t>(l.limit), 8);
  }
  put(out, t.carried, 2);
  put(out, static_cast<uint32_t>(t.text_line), 8);
  put(out, static_cast<uint32_t>(t.pc), 8);
  put(out, script_name.size(), 8);
  out += script_name;
  return out;
}

DecodedScriptPos decode_script_pos(std::string_view text, Task& t) {
  DecodedScriptPos result;
  for (size_t i = 0; i < 8; ++i) {
    if (i >= text.size() || text[i] != static_cast<char>(i + 1)) {
      result.error = ScriptPosError::bad_data;
      return result;
    }
  }
  // Everything is read into a copy first, so a malformed text changes nothing.
  Task n;
  Reader r{text, 8};
  n.if_depth = r.depth();
  for (int k = 0; r.ok && k < n.if_depth; ++k) {
    IfLevel& l = n.ifs[size_t(k)];
    l.saved_loop_depth = static_cast<int8_t>(r.get(2));
    l.if_index = r.i32();
    l.ifend_target = r.i32();
  }
  n.reserved = static_cast<uint8_t>(r.get(2));
  n.gosub_depth = r.depth();
  for (int k = 0; r.ok && k < n.gosub_depth; ++k) {
    GosubLevel& l = n.gosubs[size_t(k)];
    l.saved_if_depth = static_cast<int8_t>(r.get(2));
    l.saved_loop_depth = static_cast<int8_t>(r.get(2));
    l.return_index = r.i32();
    r.get(4);
    l.return_script = static_cast<uint16_t>(r.get(4));
  }
  n.loop_depth = r.depth();
  for (int k = 0; r.ok && k < n.loop_depth; ++k) {
    LoopLevel& l = n.loops[size_t(k)];
    l.saved_if_depth = static_cast<int8_t>(r.get(2));
    l.body_start = r.i32();
    l.loopend_index = r.i32();
    l.counter = r.i32();  // the low 32 bits, sign-extended
    l.limit = r.i32();
  }
  n.carried = static_cast<uint8_t>(r.get(2));
  n.text_line = r.i32();
  n.pc = r.i32();
  uint64_t length = r.get(8);
  if (!r.ok || length > text.size() - r.pos) {
    result.error = ScriptPosError::bad_data;
    return result;
  }
  std::string_view name = text.substr(r.pos, static_cast<size_t>(length));
  result.script_name = std::string(sjis::prefix_fitting(name, kMaxName));

  t.if_depth = n.if_depth;
  t.ifs = n.ifs;
  t.reserved = n.reserved;
  t.gosub_depth = n.gosub_depth;
  t.gosubs = n.gosubs;
  t.loop_depth = n.loop_depth;
  t.loops = n.loops;
  t.carried = n.carried;
  t.text_line = n.text_line;
  t.pc = n.pc;
  return result;
}

int restore_script_pos(Engine& e, Task& t, std::string_view text) {
  // Decode into a copy and commit only when the script is known.
  Task probe;
  DecodedScriptPos d = decode_script_pos(text, probe);
  if (d.error != ScriptPosError::none) return report(e, 900000);
  const auto& names = e.scripts.script_names;
  for (uint32_t s = 0; s < names.size(); ++s) {
    if (!same_name_ignoring_case(names[s], d.script_name)) continue;
    uint32_t old_script = t.script;
    t.if_depth = probe.if_depth;
    t.ifs = probe.ifs;
    t.reserved = probe.reserved;
    t.gosub_depth = probe.gosub_depth;
    t.gosubs = probe.gosubs;
    t.loop_depth = probe.loop_depth;
    t.loops = probe.loops;
    t.carried = probe.carried;
    t.text_line = probe.text_line;
    if (s != old_script || !t.image) return start_task_at(e, t, s, probe.pc) != 0 ? -1 : 0;
    t.pc = probe.pc;
    return 0;
  }
  std::string_view cmd = "TASK";
  return report(e, 102130, {cmd, d.script_name});
}

}  // namespace nv
