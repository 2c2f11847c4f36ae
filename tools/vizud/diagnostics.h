// Compiler messages for script authors: "file:line:column: message" in UTF-8,
// collected so that one run reports as many errors as it can find.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace nv::vizud {

// A position in a source file; line and column count from 1, the column in
// characters (a double-byte character is one).
struct SourcePos {
  int line = 0;
  int column = 0;
};

struct Diagnostic {
  std::string file;     // UTF-8 path as given to the compiler (project-relative)
  SourcePos pos;
  std::string message;  // UTF-8
};

class Diagnostics {
 public:
  explicit Diagnostics(size_t max_errors = 100) : max_errors_(max_errors) {}

  void error(std::string_view file, SourcePos pos, std::string message);
  bool has_errors() const { return !list_.empty(); }
  size_t count() const { return list_.size(); }
  // True once the error limit is reached: callers stop looking for more.
  bool full() const { return list_.size() >= max_errors_; }
  const std::vector<Diagnostic>& list() const { return list_; }

  // All messages, one per line, each "file:line:column: message".
  std::string format() const;

 private:
  size_t max_errors_;
  std::vector<Diagnostic> list_;
};

std::string format_diagnostic(const Diagnostic& d);

// `text` (Shift-JIS) in double quotes as UTF-8, shortened to about 60
// characters, for quoting the offending source in a message.
std::string quote_sjis(std::string_view text);

}  // namespace nv::vizud
