// The built-in command table, generated at compile time from command_table.def:
//   nv::cmd::CG ...             command numbers (handler-table indexes)
//   nv::kw::CG::ID ...          keyword indexes of each command (kCount = number of keywords)
//   nv::builtin_commands()      the whole table, iterable at run time
// and the two tables that follow the commands in nvbin\nvc.nbn: the errno
// message texts and the key table (engine key number -> virtual-key code).
#pragma once

#include <array>
#include <cstdint>
#include <iterator>
#include <span>
#include <string_view>

namespace nv {

// Argument types of a keyword.
namespace argtype {
enum : uint8_t {
  INT = 0,   // integer expression
  STR = 1,   // string expression
  EXPR = 2,  // expression kept unevaluated for the handler
  RAW = 3,   // raw record interpreted by the handler
};
}  // namespace argtype

// Check codes applied to a keyword's integer value after evaluation.
namespace check {
enum : uint8_t {
  NONE = 0,
  GE0 = 1,             // at least 0
  GE1 = 2,             // at least 1
  R0_1 = 3,
  R0_2 = 4,
  R0_3 = 5,
  R1_3 = 6,
  R0_4 = 7,
  R1_8 = 8,
  R0_15 = 9,
  R0_18 = 10,
  R0_256 = 11,
  R1_256 = 12,
  R0_512 = 13,
  R0_1024 = 14,
  R1_1024 = 15,
  R128_1024 = 16,
  R0_2048 = 17,
  R1_2048 = 18,
  R16_2048 = 19,
  R128_2048 = 20,
  R1_8192 = 21,
  COLOR_OR_NONE = 22,  // -1 to 0xFFFFFF
  COLOR = 23,          // 0 to 0xFFFFFF
  SCREEN_X = 24,       // 0 to main-window width - 1
  SCREEN_Y = 25,       // 0 to main-window height - 1
  WINDOW_NO = 26,      // 0 to 3
};
constexpr uint8_t kCount = 27;

// The fixed bounds of each code (codes 0 to 2 have no upper bound; 24 and 25
// depend on the configured screen size, given here as the widest screen).
struct Range {
  int64_t lo;
  int64_t hi;
};
constexpr int64_t kUnbounded = INT64_MAX;
constexpr std::array<Range, kCount> kRanges = {{
    {INT64_MIN, kUnbounded}, {0, kUnbounded}, {1, kUnbounded}, {0, 1}, {0, 2}, {0, 3}, {1, 3},
    {0, 4}, {1, 8}, {0, 15}, {0, 18}, {0, 256}, {1, 256}, {0, 512}, {0, 1024}, {1, 1024},
    {128, 1024}, {0, 2048}, {1, 2048}, {16, 2048}, {128, 2048}, {1, 8192}, {-1, 0xFFFFFF},
    {0, 0xFFFFFF}, {0, 2047}, {0, 2047}, {0, 3},
}};
}  // namespace check

// Command numbers.
namespace cmd {
enum Command : uint8_t {
#define NV_COMMAND(number, ident, name) ident = number,
#define NV_KW(ident, name, type, check)
#define NV_COMMAND_END(ident)
#include "formats/command_table.def"
#undef NV_COMMAND
#undef NV_KW
#undef NV_COMMAND_END
};
constexpr int kCount = 99;             // entries in the table (0 to 98)
constexpr int kFirstCompilerOnly = 94;  // 94 to 98 exist only for the compiler
constexpr int kHandlerSlots = 100;     // handler tables have one more slot (99: no command)
}  // namespace cmd

// Keyword indexes, one namespace per command.
namespace kw {
#define NV_COMMAND(number, ident, name) \
  namespace ident {                     \
  enum : uint8_t {
#define NV_KW(ident, name, type, check) ident,
#define NV_COMMAND_END(ident) \
  kCount                      \
  }                           \
  ;                           \
  }
#include "formats/command_table.def"
#undef NV_COMMAND
#undef NV_KW
#undef NV_COMMAND_END
}  // namespace kw

struct KeywordDef {
  const char* name;  // keyword text (ASCII; may be empty)
  uint8_t type;      // argtype
  uint8_t check;     // check code
};

struct BuiltinCommand {
  uint8_t number;
  const char* name;
  std::span<const KeywordDef> keywords;
  bool compiler_only() const { return number >= cmd::kFirstCompilerOnly; }
};

namespace detail {
// Each list ends with a sentinel so that commands without keywords still
// have an array; the span leaves it out.
#define NV_COMMAND(number, ident, name) inline constexpr KeywordDef kKeywords_##ident[] = {
#define NV_KW(kident, kname, ktype, kcheck) {kname, ::nv::argtype::ktype, ::nv::check::kcheck},
#define NV_COMMAND_END(ident) {nullptr, 0, 0}};
#include "formats/command_table.def"
#undef NV_COMMAND
#undef NV_KW
#undef NV_COMMAND_END

inline constexpr BuiltinCommand kBuiltinCommands[] = {
#define NV_COMMAND(number, ident, name) \
  {number, name, std::span<const KeywordDef>(kKeywords_##ident, std::size(kKeywords_##ident) - 1)},
#define NV_KW(ident, name, type, check)
#define NV_COMMAND_END(ident)
#include "formats/command_table.def"
#undef NV_COMMAND
#undef NV_KW
#undef NV_COMMAND_END
};
}  // namespace detail

static_assert(std::size(detail::kBuiltinCommands) == cmd::kCount);

// The table in command-number order: entry n is command n.
constexpr std::span<const BuiltinCommand> builtin_commands() { return detail::kBuiltinCommands; }

// Lookups for the compiler: the command of that exact (upper-case) name, or
// nullptr; the index of a keyword in a command, or -1.
const BuiltinCommand* find_builtin_command(std::string_view name);
int find_keyword(const BuiltinCommand& command, std::string_view keyword);

// Messages for the standard error numbers 0 to 36 (UTF-8; " " where a number
// has none). The numbering is that of the classic C run-time library: 1 to
// 34 are the POSIX values (EPERM ... ERANGE), 36 is EDEADLK.
constexpr int kErrnoTextCount = 37;
extern const std::array<std::string_view, kErrnoTextCount> kErrnoTexts;

// Engine key numbers. Scripts read key k through system variables 93 + k
// (state), 227 + k (second value) and 361 + k (virtual-key code), so every key
// the input sampler scans gets a number below 128: 0 the any-key slot, 1 to 6
// the mouse slots (left, right, middle, wheel up, wheel down, moved), then
// the scanned keyboard keys in the sampler's order. Unused numbers map to
// 0xFF, a code that is never sampled, so they read as released.
constexpr int kKeyTableSize = 256;
constexpr uint8_t kNoKey = 0xFF;

struct KeyName {
  uint8_t vk;        // virtual-key code
  const char* name;  // name scripts use (ASCII)
};
// Entry k names engine key number k.
extern const std::array<KeyName, 124> kKeyNames;

// The 256-byte key table written to nvc.nbn.
std::array<uint8_t, kKeyTableSize> builtin_key_table();

}  // namespace nv
