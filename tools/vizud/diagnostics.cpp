#include "tools/vizud/diagnostics.h"

#include "formats/sjis_text.h"
#include "platform/encoding.h"

namespace nv::vizud {

void Diagnostics::error(std::string_view file, SourcePos pos, std::string message) {
  if (full()) return;
  list_.push_back(Diagnostic{std::string(file), pos, std::move(message)});
}

std::string format_diagnostic(const Diagnostic& d) {
  std::string out = d.file;
  if (d.pos.line > 0) {
    out += ":" + std::to_string(d.pos.line);
    if (d.pos.column > 0) out += ":" + std::to_string(d.pos.column);
  }
  out += ": ";
  out += d.message;
  return out;
}

std::string Diagnostics::format() const {
  std::string out;
  for (const auto& d : list_) {
    out += format_diagnostic(d);
    out += '\n';
  }
  if (full()) out += "too many errors; stopping\n";
  return out;
}

std::string quote_sjis(std::string_view text) {
  constexpr size_t kMaxChars = 60;
  std::string_view shown = text;
  bool cut = false;
  if (sjis::char_count(text) > kMaxChars) {
    shown = text.substr(0, sjis::byte_offset_of_char(text, kMaxChars));
    cut = true;
  }
  std::string out = "\"" + platform::sjis_to_utf8(shown);
  if (cut) out += "...";
  out += "\"";
  return out;
}

}  // namespace nv::vizud
