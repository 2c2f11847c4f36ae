// The compiled tables of a title as the engine keeps them: the command
// table, the script index and list, the label table and the compiled
// scripts, which load on first use.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "formats/command_table.h"
#include "formats/script_key.h"

namespace nv {

struct Engine;

constexpr int kHandlerCount = 100;  // command numbers 0 to 99
constexpr int kMaxArguments = 95;   // argument positions 1 to 95
constexpr int kKeywordLimit = 96;   // keyword indexes 0 to 95
constexpr size_t kArgRecordSize = 12;
// A GO record whose size field is at least this holds label index + this
// (resolved when the script loaded).
constexpr uint32_t kResolvedLabel = 0x10000000;

// Argument types of a keyword.
enum ArgType : uint8_t { kArgInt = 0, kArgString = 1, kArgRaw = 2, kArgHandler = 3 };

struct CommandDef {
  std::string_view name;                // points into the kept file block
  std::vector<std::string_view> keywords;
  std::vector<uint8_t> types;           // ArgType per keyword
  std::vector<uint8_t> checks;          // check code 0..26 per keyword
};

struct CommandTable {
  bool loaded = false;
  std::vector<uint8_t> block;  // nvc.nbn, kept for the life of the process
  std::vector<CommandDef> defs;  // indexed by command number
  std::array<std::string_view, kErrnoTextCount> errno_texts{};  // messages of errno 0..36
  std::array<uint8_t, 256> key_table{};  // engine key number -> virtual-key code
};

struct Label {
  std::string name;
  uint32_t hash = 0;        // CRC-32 of the name
  int32_t instruction = 0;  // index within its script
  uint16_t script = 0;
  uint8_t if_depth = 0;
  uint8_t loop_depth = 0;
};

struct LabelTable {
  bool loaded = false;
  std::array<uint32_t, 256> buckets{};  // first label whose hash has this top byte
  std::vector<Label> labels;           // sorted by hash
};

// One 12-byte argument record as stored in the argument area.
struct ArgRecordView {
  const uint8_t* p;
  uint8_t keyword() const { return p[0]; }
  uint8_t selector() const { return p[2]; }
  uint8_t assign_op() const { return p[3]; }
  uint16_t label_field() const { return static_cast<uint16_t>(p[2] | (p[3] << 8)); }
  uint32_t size() const { return uint32_t(p[4]) | uint32_t(p[5]) << 8 | uint32_t(p[6]) << 16 | uint32_t(p[7]) << 24; }
  uint32_t offset() const {
    return uint32_t(p[8]) | uint32_t(p[9]) << 8 | uint32_t(p[10]) << 16 | uint32_t(p[11]) << 24;
  }
};

struct DecodedInstructions;  // runtime/decoded_instructions.h
struct FastInstruction;
struct DecodedInstructionsDeleter {
  void operator()(DecodedInstructions* d) const;
};

// A compiled script (nvt%05d.nbn) after loading: the areas are descrambled in
// place in the kept file block.
struct ScriptImage {
  bool created = false;  // loading was attempted (it happens once)
  bool valid = false;    // the file was read and checked
  uint32_t count = 0;    // instructions
  std::vector<uint8_t> block;
  std::span<uint8_t> code, args, resources, lines;
  std::vector<uint8_t*> arg_start;  // first argument record of each instruction
  // Instructions decoded for direct execution, made when the first is
  // decoded (a cache over the immutable bytes, hence mutable); `fast` is
  // their table, one entry per instruction, or null.
  mutable std::unique_ptr<DecodedInstructions, DecodedInstructionsDeleter> decoded;
  mutable const FastInstruction* fast = nullptr;

  uint8_t command_of(uint32_t i) const { return code[4 * size_t(i)]; }
  uint8_t arg_count_of(uint32_t i) const { return code[4 * size_t(i) + 1]; }
  ArgRecordView record(uint32_t i, int k) const { return {arg_start[i] + kArgRecordSize * size_t(k)}; }
  int32_t line_of(uint32_t i) const;
};

struct ScriptTables {
  ScriptKey key = script_key();
  CommandTable commands;
  bool index_loaded = false;
  uint32_t script_variable_count = 0;  // N of nvt.nbn
  uint32_t index_second_count = 0;     // offset 12 of nvt.nbn (system variable 70)
  bool list_loaded = false;
  std::vector<std::string> script_names;  // source path per script number
  std::vector<ScriptImage> images;        // one slot per script number
  LabelTable labels;
};

// Loaders. Each returns 0, or -1 after the message has been shown (which
// stopped the engine).
int load_command_table(Engine& e);
int load_script_index(Engine& e);
int load_script_list(Engine& e);
int load_label_table(Engine& e);

// Parsing of already read blocks (the loaders above read the file and call
// these); the command table block is kept, the others are freed.
int parse_command_table(Engine& e, std::vector<uint8_t> block);
int parse_script_index(Engine& e, std::span<const uint8_t> block);
int parse_script_list(Engine& e, std::span<const uint8_t> block);
int parse_label_table(Engine& e, std::span<const uint8_t> block);

// Index of the label called `name`, or -1.
int32_t find_label(const LabelTable& t, std::string_view name);

// Loads script `number` the first time it is asked for; later calls return
// at once. Returns 0 (also after a read failure, which has been reported and
// stopped the engine) or -1 for a number outside the script list.
int ensure_script_loaded(Engine& e, uint32_t number);
// Installs an already read script file as script `number` (the second half
// of ensure_script_loaded). Returns 0 or -1 (reported).
int install_script(Engine& e, uint32_t number, std::vector<uint8_t> block);

// The file name of compiled script `number`: "nvbin\nvt%05d.nbn".
std::string script_file_name(uint32_t number);

}  // namespace nv
