#include "tools/writers/variable_table_writer.h"

#include <string>

#include "formats/file_header.h"
#include "tools/writers/write_error.h"

namespace nv::writers {

namespace {

struct Shape {
  uint8_t type;
  std::vector<int32_t> dims;
};

// The system variables scripts can read (the engine supplies their values;
// unlisted numbers have no type).
Shape system_shape(int n) {
  using namespace vartype;
  auto between = [n](int a, int b) { return n >= a && n <= b; };
  if (n == 0) return {kInt, {2, 8}};             // local time now and at start
  if (n == 1) return {kInt, {5}};                // millisecond timer and script timers 1 to 4
  if (between(2, 9)) return {kInt, {}};          // OS code, DirectX, sound, memory, write probe
  if (n == 10) return {kFloat, {}};              // pi
  if (n == 11 || n == 13) return {kInt, {}};
  if (n == 12) return {kString, {}};
  if (n == 14) return {kString, {1024}};         // dropped file names
  if (between(15, 31) || n == 33) return {kInt, {}};
  if (n == 34 || n == 38 || n == 42) return {kInt, {11}};    // PINT, RINT, TINT slots 1 to 10
  if (n == 35 || n == 39 || n == 43) return {kFloat, {11}};  // PFLT, RFLT, TFLT
  if (n == 36 || n == 40 || n == 44) return {kString, {11}}; // PSTR, RSTR, TSTR
  if (between(45, 59)) return {kString, {}};     // 57: the save folder
  if (between(60, 67)) return {kInt, {}};
  if (n == 70 || n == 78) return {kInt, {}};
  if (n == 73) return {kString, {256}};          // one-byte texts
  if (between(68, 77)) return {kString, {}};     // 68, 69, 74, 77 assignable
  if (n == 90) return {kInt, {32}};              // button table (element 0 kept)
  if (between(79, 92)) return {kInt, {}};
  if (between(93, 221)) return {kInt, {}};       // key states of key numbers 0 to 128
  if (between(222, 226)) return {kInt, {}};
  if (between(227, 355)) return {kInt, {}};      // second per-key values
  if (between(356, 360)) return {kInt, {}};
  if (between(361, 488)) return {kInt, {}};      // virtual-key codes of key numbers 0 to 127
  if (between(489, 493)) return {kInt, {}};
  return {kNone, {}};
}

void write_record(ByteWriter& w, const VariableModel& v) {
  if (v.scope != kScopeGlobal && v.scope != kScopeScript)
    throw WriteError("variable " + std::to_string(v.number) + ": scope must be 1 or 2");
  if (v.type > vartype::kString) throw WriteError("variable " + std::to_string(v.number) + ": type above 3");
  if (v.dims.size() > 8) throw WriteError("variable " + std::to_string(v.number) + " has more than 8 dimensions");
  int64_t count = 1;
  for (int32_t d : v.dims) {
    if (d < 1) throw WriteError("variable " + std::to_string(v.number) + ": a dimension size below 1");
    count *= d;
    if (count > 4000000) throw WriteError("variable " + std::to_string(v.number) + " has more than 4000000 elements");
  }
  w.u8(v.scope);
  w.u16(v.script);
  w.u16(v.number);
  w.u8(v.type);
  w.u8(static_cast<uint8_t>(v.dims.size()));
  for (int32_t d : v.dims) w.i32(d);
  switch (v.type) {
    case vartype::kInt: w.i64(v.int_value); break;
    case vartype::kFloat: w.f64(v.float_value); break;
    case vartype::kString: {
      Expr empty;
      const Expr& e = v.string_value.empty() ? empty.push_literal("") : v.string_value;
      if (e.size() > 0xFFFF) throw WriteError("variable " + std::to_string(v.number) + ": initial text too long");
      w.u16(static_cast<uint16_t>(e.size()));
      w.bytes(e.bytes());
      break;
    }
    default: break;
  }
}

}  // namespace

VariableModel system_variable(uint16_t number) {
  Shape s = system_shape(number);
  VariableModel v;
  v.scope = kScopeGlobal;
  v.number = number;
  v.type = s.type;
  v.dims = std::move(s.dims);
  return v;
}

Bytes encode_variable_table(std::span<const VariableModel> variables) {
  if (variables.size() + kSystemVariableCount > 0xFFFF) throw WriteError("more than 65535 variable records");
  ByteWriter w;
  w.magic("NVVR");
  w.u32(kFormatVersion);
  w.u16(static_cast<uint16_t>(variables.size() + kSystemVariableCount));
  for (int n = 0; n < kSystemVariableCount; ++n) write_record(w, system_variable(static_cast<uint16_t>(n)));
  for (const VariableModel& v : variables) {
    if (v.number < kSystemVariableCount)
      throw WriteError("variable number " + std::to_string(v.number) + " belongs to the system variables");
    write_record(w, v);
  }
  return w.take();
}

}  // namespace nv::writers
