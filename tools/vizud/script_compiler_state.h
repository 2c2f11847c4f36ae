// The compiler of one script, shared by the files that define it (see
// ScriptCompiler below); tools/vizud/script_compiler.h is its public face.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "formats/sjis_text.h"
#include "tools/vizud/expr_compiler.h"
#include "tools/vizud/expr_parser.h"
#include "tools/vizud/lexer.h"
#include "tools/vizud/script_compiler.h"

namespace nv::vizud {

constexpr int kMaxNesting = 63;  // the run time's stacks hold 64 levels
constexpr size_t kMaxArgs = 95;
constexpr int kParamCount = 10;

inline bool is_space(char c) { return c == ' ' || c == '\t'; }

inline std::string_view first_word(std::string_view s) {
  size_t e = 0;
  while (is_ident_char(s, e)) e = sjis::next_char(s, e);
  return s.substr(0, e);
}

inline bool is_ascii_upper_name(std::string_view w) {
  if (w.empty()) return false;
  for (char c : w)
    if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_')) return false;
  return true;
}

inline std::optional<uint8_t> assign_code(const std::string& op) {
  static constexpr std::string_view kOps[] = {"=", "+=", "-=", "*=", "/=", "%=", "&=", "|=", "^="};
  for (uint8_t i = 0; i < 9; ++i)
    if (op == kOps[i]) return i;
  return std::nullopt;
}

// The state of compiling one script. Its members are defined by concern:
// script_compiler.cpp (lines, statements, labels), compile_directives.cpp,
// compile_text.cpp, compile_blocks.cpp (IF and LOOP),
// compile_variables.cpp (declarations, LET) and compile_commands.cpp.
class ScriptCompiler {
 public:
  ScriptCompiler(const SourceFile& src, int script, ProjectContext& ctx)
      : src_(src), cur_(&src), script_(script), ctx_(ctx), cmds_(ctx.commands),
        expr_(ctx.symbols, script, [this](size_t off, size_t len, const std::string& m) { err(off, len, m); }) {
    out_.display = src.display_name;
    out_.source_lines = static_cast<int>(src.lines.size());
    c_if_ = cmds_.find("IF");
    c_else_ = cmds_.find("ELSE");
    c_ifblend_ = cmds_.find("IFBLEND");
    c_ifend_ = cmds_.find("IFEND");
    c_loop_ = cmds_.find("LOOP");
    c_loopend_ = cmds_.find("LOOPEND");
    c_label_ = cmds_.find("LABEL");
    c_let_ = cmds_.find("LET");
    c_word_ = cmds_.find("WORD");
    c_underscore_ = cmds_.find("_");
    c_returncode_ = cmds_.find("RETURNCODE");
    c_end_ = cmds_.find("END");
    c_go_ = cmds_.find("GO");
    c_gosub_ = cmds_.find("GOSUB");
    c_return_ = cmds_.find("RETURN");
  }

  void run_globals();
  CompiledScript run(std::string list_name);

 private:
  struct RawArg {
    std::string name;
    int root = -1;
    size_t first = 0, end = 0;  // token range of the value
  };
  void compile_lines();
  bool parse_directive(size_t pos, std::vector<RawArg>& out);
  static const RawArg* directive_arg(const std::vector<RawArg>& args, const char* name);
  bool constant_text(const RawArg* a, std::string& out);
  bool constant_int(const RawArg* a, int64_t& out);
  void compile_keyname(size_t pos);
  void compile_include(size_t pos, bool globals_pass);
  void compile_define(size_t pos, bool define);
  void compile_product(size_t pos);
  void substitute(std::vector<Token>& toks);

  struct Block {
    bool is_if = true;
    int index = 0;           // the IF or LOOP instruction
    int pending_else = -1;   // instruction whose record 1 waits for the next ELSE
    bool plain_else = false;
    SourcePos pos;
  };

  // Messages.
  void err(size_t offset, size_t length, const std::string& msg);
  void err_line(const std::string& msg) { err(0, line_.size(), msg); }

  bool begin_line(size_t n);
  void statement_or_text();
  bool lex();
  int parse_expr(size_t& pos);
  bool expect_end(size_t pos);

  int emit(int command, std::vector<ArgRecord> args = {});
  ArgRecord expr_record(uint8_t keyword, const CompiledExpr& e, uint8_t assign = 0);
  bool need_command(int number, const char* name);

  void compile_label();
  void compile_text(std::string_view text, size_t base);
  void finish_text_line();
  // The "]" after a bracketed condition or count (`message` when it is missing).
  bool close_bracket(size_t& pos, const char* message);
  void compile_if(size_t pos, bool is_elseif);
  void compile_else(size_t pos);
  void compile_ifend(size_t pos);
  void compile_loop(size_t pos);
  void compile_loopend(size_t pos);
  void compile_declaration(size_t pos, VarType type, Scope scope);
  void compile_let(size_t pos);
  void compile_command(int number, size_t pos);
  bool parse_arguments(int number, size_t& pos, std::vector<ArgRecord>& args, std::vector<int>& given);
  void lower_parameters(int number, std::vector<ArgRecord>& args, const std::vector<int>& given,
                        int first_int, int first_flt, int first_str, size_t name_len);
  void check_break_level(int number, const std::vector<ArgRecord>& args, size_t pos);
  void note_label_uses();

  const SourceFile& src_;
  const SourceFile* cur_;  // the file being read: the script or an included file
  int script_;
  ProjectContext& ctx_;
  const CommandTable& cmds_;
  ExprCompiler expr_;
  CompiledScript out_;

  size_t line_no_ = 0;
  std::string_view line_;
  std::vector<Token> toks_;
  ExprArena arena_;
  std::vector<Block> blocks_;
  int if_depth_ = 0;
  int loop_depth_ = 0;

  std::vector<const SourceFile*> include_stack_;
  int32_t include_line_ = 0;
  std::unordered_map<std::string, std::vector<Token>> defines_;

  bool quiet_ = false;  // messages off (the second pass repeats the statement)
  int text_line_ = 0;
  int last_returncode_ = -1;
  bool continuing_text_ = false;
  int pending_voice_ = 0;

  int c_if_, c_else_, c_ifblend_, c_ifend_, c_loop_, c_loopend_, c_label_, c_let_, c_word_,
      c_underscore_, c_returncode_, c_end_, c_go_, c_gosub_, c_return_;
};

}  // namespace nv::vizud
