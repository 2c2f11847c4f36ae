#include "core/error_report.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "core/engine.h"
#include "core/error_texts.h"
#include "formats/sjis_text.h"
#include "platform/encoding.h"

namespace nv {

std::string format_message(std::string_view f, std::span<const ErrorArg> args) {
  std::string out;
  size_t next_arg = 0;
  size_t i = 0;
  while (i < f.size()) {
    if (f[i] != '%') {
      out += f[i++];
      continue;
    }
    size_t start = i++;
    if (i < f.size() && f[i] == '%') {
      out += '%';
      ++i;
      continue;
    }
    std::string flags;
    while (i < f.size() && std::string_view("-+ #0").find(f[i]) != std::string_view::npos) flags += f[i++];
    int width = 0;
    while (i < f.size() && f[i] >= '0' && f[i] <= '9') width = std::min(width * 10 + (f[i++] - '0'), 999);
    int precision = -1;
    if (i < f.size() && f[i] == '.') {
      ++i;
      precision = 0;
      while (i < f.size() && f[i] >= '0' && f[i] <= '9')
        precision = std::min(precision * 10 + (f[i++] - '0'), 999);
    }
    while (i < f.size() && (f[i] == 'l' || f[i] == 'h')) ++i;
    if (i >= f.size()) {
      out.append(f.substr(start));
      break;
    }
    char conv = f[i++];
    if (std::string_view("sdiuxXc").find(conv) == std::string_view::npos || next_arg >= args.size()) {
      out.append(f.substr(start, i - start));  // unknown directive or no argument: kept as written
      continue;
    }
    const ErrorArg& a = args[next_arg++];
    std::string piece;
    if (conv == 's') {
      piece = a.kind == ErrorArg::Kind::text ? std::string(a.s) : std::to_string(a.i);
      if (precision >= 0 && piece.size() > static_cast<size_t>(precision)) piece.resize(static_cast<size_t>(precision));
    } else if (conv == 'c') {
      piece = std::string(1, static_cast<char>(a.kind == ErrorArg::Kind::integer ? a.i : 0));
    } else {
      // The engine's %d takes a 32-bit value, as the texts were written for.
      int64_t v = a.kind == ErrorArg::Kind::integer ? a.i : 0;
      std::string spec = "%" + flags;
      if (precision >= 0) spec += "." + std::to_string(precision);
      char buf[64];
      if (conv == 'd' || conv == 'i')
        std::snprintf(buf, sizeof buf, (spec + "d").c_str(), static_cast<int>(static_cast<int32_t>(v)));
      else
        std::snprintf(buf, sizeof buf, (spec + conv).c_str(), static_cast<unsigned>(static_cast<uint32_t>(v)));
      piece = buf;
    }
    if (piece.size() < static_cast<size_t>(width)) {
      bool left = flags.find('-') != std::string::npos;
      bool zero = flags.find('0') != std::string::npos && conv != 's' && !left;
      std::string pad(static_cast<size_t>(width) - piece.size(), zero ? '0' : ' ');
      if (zero && !piece.empty() && (piece[0] == '-' || piece[0] == '+'))
        piece = piece.substr(0, 1) + pad + piece.substr(1);
      else
        piece = left ? piece + pad : pad + piece;
    }
    out += piece;
  }
  return out;
}

namespace {

// Used when a code has no built-in text and the table does not hold it
// either, for the data error the engine raises on damaged files: without it
// a damaged error table itself could only be reported with the text for a
// wrong code.
constexpr std::string_view kDataErrorText = "[内部エラー]\n\nデータエラーです。";

constexpr std::string_view kFrameFormat = "[対象ファイル]\n%s\n\n[場所]\n%d 行目\n\n[内容]\n\n";

// The message format of `code` (Shift-JIS).
std::string message_format(const Engine& e, uint32_t code) {
  std::string_view builtin = builtin_error_text(code);
  if (!builtin.empty()) return platform::utf8_to_sjis(builtin);
  const ErrorTable& t = e.errors.table;
  for (size_t k = 0; k < t.codes.size(); ++k)
    if (t.codes[k] == code) return std::string(t.messages[k]);
  if (code == 900000) return platform::utf8_to_sjis(kDataErrorText);
  return platform::utf8_to_sjis(kUnknownErrorText);
}

// A script name goes into the frame as plain text: every '%' is doubled so
// that filling the message's arguments afterwards leaves it as it is.
std::string escape_percent(std::string_view s) {
  std::string out;
  for (char c : s) {
    out += c;
    if (c == '%') out += '%';
  }
  return out;
}

}  // namespace

int report_ex(Engine& e, uint32_t code, ReportFlags flags, std::initializer_list<ErrorArg> args) {
  ErrorState& es = e.errors;
  es.last_error_script.clear();
  es.last_error_line = 1;

  std::string composed;
  std::string_view name;
  int32_t line = 1;
  if (flags.framed && es.script_position && es.script_position(e, name, line)) {
    composed = format_message(platform::utf8_to_sjis(kFrameFormat), std::vector<ErrorArg>{escape_percent(name), line});
    es.last_error_script = std::string(name);
    es.last_error_line = line;
  }
  composed += message_format(e, code);
  std::string message = format_message(composed, std::span<const ErrorArg>(args.begin(), args.size()));

  // A report can stop the engine; one that does not stop never restarts an
  // engine that is already stopping.
  if (flags.stop) e.stop.store(true);
  es.last_code = code;
  es.last_text = message;
  ++es.report_count;

  if (!es.dialog_shown) {
    es.dialog_shown = true;
    e.cursor_visible.store(true);
    platform::ErrorDialogSpec d;
    d.caption = std::string(kErrorCaption);
    d.text = message;
    e.platform.dialogs->error_dialog(d);
  }
  return -1;
}

int report(Engine& e, uint32_t code, std::initializer_list<ErrorArg> args) {
  return report_ex(e, code, ReportFlags{}, args);
}

int show_system_box(Engine& e, std::string_view caption_sjis, std::string_view format_sjis,
                    std::initializer_list<ErrorArg> args) {
  std::string text = format_message(format_sjis, std::span<const ErrorArg>(args.begin(), args.size()));
  text = std::string(sjis::prefix_fitting(text, kSystemBoxBuffer - 1));
  platform::MessageBoxSpec box;
  box.caption = std::string(caption_sjis);
  box.text = std::move(text);
  return e.platform.dialogs->message_box(box);
}

void log_info(Engine& e, std::string_view category, std::string_view text_sjis) {
  if (!(category.empty() || category == "ERR" || category == "ACT")) return;
  std::lock_guard<std::recursive_mutex> guard(e.lock);
  std::string out;
  if (!e.errors.log_header_written) {
    e.errors.log_header_written = true;
    platform::LocalTime t = e.platform.clock->local_time();
    char line[128];
    std::snprintf(line, sizeof line, "//\x81\xA1%02d/%02d/%02d time=%02d:%02d:%02d\n", t.year % 100, t.month,
                  t.day, t.hour, t.minute, t.second);
    const std::string dashes =
        "//----------------------------------------------------------------------------\n";
    out = dashes + line + dashes;
  }
  out.append(text_sjis);
  out += '\n';
  e.platform.files->append("info.txt", std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(out.data()), out.size()));
}

void log_info(Engine& e, std::string_view category, std::string_view format_sjis, std::initializer_list<ErrorArg> args) {
  if (!(category.empty() || category == "ERR" || category == "ACT")) return;
  log_info(e, category, format_message(format_sjis, std::span<const ErrorArg>(args.begin(), args.size())));
}

}  // namespace nv
