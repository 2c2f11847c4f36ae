// Numbered error reports and the info.txt log.
//
// Every failure the engine reports goes through report(): the text comes
// from the built-in texts or the title's error table, is filled with the
// arguments by a safe printf subset (a table text from a file can never
// read an argument that was not passed), is shown in the error dialog (the
// first report of the process only) and sets the stop flag.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

namespace nv {

struct Engine;

// One printf argument of a report: an integer for %d/%x/%c, a Shift-JIS
// text for %s.
struct ErrorArg {
  enum class Kind { integer, text } kind;
  int64_t i = 0;
  std::string_view s;

  template <typename T, typename = std::enable_if_t<std::is_integral_v<T>>>
  ErrorArg(T v) : kind(Kind::integer), i(static_cast<int64_t>(v)) {}
  ErrorArg(std::string_view v) : kind(Kind::text), s(v) {}
  ErrorArg(const char* v) : kind(Kind::text), s(v) {}
  ErrorArg(const std::string& v) : kind(Kind::text), s(v) {}
};

struct ReportFlags {
  bool stop = true;    // value the stop flag is set to
  bool framed = true;  // put the script position before the text when a script runs
};

// Reports `code`: the text (built in, else from the error table, else the
// text for a wrong code), with the script position before it when `framed`
// and a script runs; sets the stop flag when `stop`; shows the error dialog
// for the first report of the process only.
// report() is the framed, stopping form. Returns -1, the status a
// handler returns after a report.
int report(Engine& e, uint32_t code, std::initializer_list<ErrorArg> args = {});
int report_ex(Engine& e, uint32_t code, ReportFlags flags, std::initializer_list<ErrorArg> args = {});

// Fills %s, %d, %i, %u, %x, %X, %c and %% (with flags, width and precision)
// from `args`; a directive without an argument is written as it stands.
std::string format_message(std::string_view format, std::span<const ErrorArg> args);

// The plain system-modal box used before the main window exists: the text
// is formatted into a 1024-byte buffer (cut at a character boundary) and
// shown without an owner. Returns the button pressed.
constexpr size_t kSystemBoxBuffer = 1024;
int show_system_box(Engine& e, std::string_view caption_sjis, std::string_view format_sjis,
                    std::initializer_list<ErrorArg> args = {});

// Appends one line to info.txt in the title folder (categories other than
// empty, "ERR" and "ACT" are ignored); the first write of the process puts
// the dated header first.
void log_info(Engine& e, std::string_view category, std::string_view text_sjis);
void log_info(Engine& e, std::string_view category, std::string_view format_sjis, std::initializer_list<ErrorArg> args);

}  // namespace nv
