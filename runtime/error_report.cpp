#include "runtime/error_report.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "host/engine.h"
#include "platform/encoding.h"
#include "runtime/error_texts.h"

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

int report_ex(Engine& e, uint32_t code, ReportFlags flags, std::initializer_list<ErrorArg> args) {
  std::string text;
  std::string_view builtin = builtin_error_text(code);
  text = platform::utf8_to_sjis(builtin.empty() ? kUnknownErrorText : builtin);
  std::string message =
      format_message(text, std::span<const ErrorArg>(args.begin(), args.size()));
  e.stop.store(flags.stop);
  if (!e.errors.dialog_shown) {
    e.errors.dialog_shown = true;
    platform::ErrorDialogSpec d;
    d.caption = std::string(kErrorCaption);
    d.text = message;
    e.host.dialogs->error_dialog(d);
  }
  return -1;
}

int report(Engine& e, uint32_t code, std::initializer_list<ErrorArg> args) {
  return report_ex(e, code, ReportFlags{}, args);
}

void log_info(Engine& e, std::string_view category, std::string_view text_sjis) {
  if (!(category.empty() || category == "ERR" || category == "ACT")) return;
  std::lock_guard<std::recursive_mutex> guard(e.lock);
  std::string out;
  if (!e.errors.log_header_written) {
    e.errors.log_header_written = true;
    platform::LocalTime t = e.host.clock->local_time();
    char line[128];
    std::snprintf(line, sizeof line, "//\x81\xA1%02d/%02d/%02d time=%02d:%02d:%02d\n", t.year % 100, t.month,
                  t.day, t.hour, t.minute, t.second);
    const std::string dashes =
        "//----------------------------------------------------------------------------\n";
    out = dashes + line + dashes;
  }
  out.append(text_sjis);
  out += '\n';
  e.host.files->append("info.txt", std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(out.data()), out.size()));
}

}  // namespace nv
