#include "tools/writers/script_writer.h"

#include <algorithm>
#include <string>

#include "formats/command_table.h"
#include "formats/file_header.h"
#include "tools/writers/write_error.h"

namespace nv::writers {

ArgRecord ArgRecord::from_words(uint32_t word0, uint32_t size, uint32_t offset) {
  ArgRecord r;
  r.keyword = static_cast<uint8_t>(word0);
  r.spare = static_cast<uint8_t>(word0 >> 8);
  r.selector = static_cast<uint8_t>(word0 >> 16);
  r.assign = static_cast<uint8_t>(word0 >> 24);
  r.size = size;
  r.offset = offset;
  return r;
}

uint32_t ScriptBuilder::instruction(uint8_t command, int32_t line) {
  if (command >= cmd::kHandlerSlots) throw WriteError("command number " + std::to_string(command) + " is above 99");
  code_.push_back({command, 0, line, {}});
  return static_cast<uint32_t>(code_.size() - 1);
}

ScriptBuilder::Instr& ScriptBuilder::current() {
  if (code_.empty()) throw WriteError("an argument before the first instruction");
  return code_.back();
}

void ScriptBuilder::record(const ArgRecord& r) {
  Instr& in = current();
  // Argument positions run from 1 to 95 in the engine's argument slots.
  if (in.args.size() >= 95) throw WriteError("an instruction with more than 95 arguments");
  in.args.push_back(r);
}

void ScriptBuilder::arg(uint8_t keyword, const Expr& e, uint8_t sel, uint8_t assign) {
  current();  // fail before touching the resource area
  ArgRecord r;
  r.keyword = keyword;
  r.selector = sel;
  r.assign = assign;
  r.size = static_cast<uint32_t>(e.size());
  r.offset = resource(e.bytes());
  record(r);
}

void ScriptBuilder::jump(uint32_t target, uint8_t keyword) {
  ArgRecord r;
  r.keyword = keyword;
  r.size = target;
  record(r);
}

void ScriptBuilder::set_jump(uint32_t instruction, uint32_t pos, uint32_t target) {
  if (instruction >= code_.size() || pos >= code_[instruction].args.size())
    throw WriteError("jump record " + std::to_string(pos) + " of instruction " + std::to_string(instruction) +
                     " does not exist");
  code_[instruction].args[pos].size = target;
}

void ScriptBuilder::set_instruction_spare(uint32_t instruction, uint16_t value) { code_.at(instruction).spare = value; }

const ArgRecord& ScriptBuilder::record_at(uint32_t instruction, uint32_t pos) const {
  return code_.at(instruction).args.at(pos);
}

uint32_t ScriptBuilder::highest_line() const {
  int32_t h = 0;
  for (const Instr& in : code_) h = std::max(h, in.line);
  return static_cast<uint32_t>(h);
}

uint32_t ScriptBuilder::resource(std::span<const uint8_t> bytes) {
  if (resources_.size() + bytes.size() > 0x7FFFFFFF) throw WriteError("resource area larger than 2 GiB");
  auto at = static_cast<uint32_t>(resources_.size());
  resources_.insert(resources_.end(), bytes.begin(), bytes.end());
  return at;
}

Bytes ScriptBuilder::encode(const ScriptKey& key) const {
  size_t records = 0;
  for (const Instr& in : code_) records += in.args.size();
  auto n = static_cast<uint32_t>(code_.size());
  ByteWriter w;
  w.magic("NVTB");
  w.u32(kFormatVersion);
  w.u32(n);
  w.u32(4 * n);
  w.u32(static_cast<uint32_t>(12 * records));
  w.u32(static_cast<uint32_t>(resources_.size()));
  w.u32(4 * n);
  w.u32(0);

  auto scrambled_area = [&](size_t start) { scramble(w.data().data() + start, w.size() - start, key); };
  size_t start = w.size();
  for (const Instr& in : code_) {
    w.u8(in.command);
    w.u8(static_cast<uint8_t>(in.args.size()));
    w.u16(in.spare);
  }
  scrambled_area(start);
  start = w.size();
  for (const Instr& in : code_)
    for (const ArgRecord& r : in.args) {
      w.u8(r.keyword);
      w.u8(r.spare);
      w.u8(r.selector);
      w.u8(r.assign);
      w.u32(r.size);
      w.u32(r.offset);
    }
  scrambled_area(start);
  start = w.size();
  w.bytes(resources_);
  scrambled_area(start);
  start = w.size();
  for (const Instr& in : code_) w.i32(in.line);
  scrambled_area(start);
  return w.take();
}

}  // namespace nv::writers
