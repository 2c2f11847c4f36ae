#include "tools/writers/command_table_writer.h"

#include "formats/file_header.h"
#include "platform/encoding.h"
#include "tools/writers/write_error.h"

namespace nv::writers {

CommandTableModel builtin_command_table() {
  CommandTableModel t;
  for (const BuiltinCommand& c : builtin_commands()) {
    CommandModel m;
    m.name = c.name;
    for (const KeywordDef& k : c.keywords) m.keywords.push_back({k.name, k.type, k.check});
    t.commands.push_back(std::move(m));
  }
  for (int i = 0; i < kErrnoTextCount; ++i) t.errno_texts[static_cast<size_t>(i)] = platform::utf8_to_sjis(kErrnoTexts[static_cast<size_t>(i)]);
  t.key_table = builtin_key_table();
  return t;
}

namespace {
void check_text(const std::string& s, const char* what) {
  if (s.find('\0') != std::string::npos) throw WriteError(std::string(what) + " contains a NUL byte");
}
}  // namespace

Bytes encode_command_table(const CommandTableModel& table) {
  if (table.commands.empty() || table.commands.size() > static_cast<size_t>(cmd::kHandlerSlots))
    throw WriteError("a command table holds 1 to 100 commands, not " + std::to_string(table.commands.size()));
  ByteWriter w;
  w.magic("NVCM");
  w.u32(kFormatVersion);
  w.u32(static_cast<uint32_t>(table.commands.size()));
  w.u32(0);
  for (const CommandModel& c : table.commands) {
    if (c.name.empty()) throw WriteError("a command without a name");
    check_text(c.name, "a command name");
    if (c.keywords.size() > 96) throw WriteError("command " + c.name + " has more than 96 keywords");
    w.cstr(c.name);
    w.u8(static_cast<uint8_t>(c.keywords.size()));
    for (const KeywordModel& k : c.keywords) {
      check_text(k.name, "a keyword");
      if (k.type > argtype::RAW) throw WriteError("keyword " + c.name + " " + k.name + ": type above 3");
      if (k.check >= check::kCount) throw WriteError("keyword " + c.name + " " + k.name + ": check code above 26");
      w.cstr(k.name);
      w.u8(k.type);
      w.u8(k.check);
    }
  }
  for (const std::string& t : table.errno_texts) {
    check_text(t, "an errno text");
    w.cstr(t.empty() ? std::string(" ") : t);
  }
  w.bytes(table.key_table);
  return w.take();
}

}  // namespace nv::writers
